#pragma once

#include <QString>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace kolu::test {

// A TCP port on 127.0.0.1 that is held but never listened on, so every
// connection to it is refused at once and no other program can take it
// while this lives. Named as the web proxy of a program under test, it keeps
// that program's requests (and their host look-ups, which the proxy would
// make) on this machine.
class RefusingPort {
public:
    RefusingPort()
    {
        m_socket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (m_socket >= 0 && ::bind(m_socket, reinterpret_cast<sockaddr *>(&address), length) == 0
            && ::getsockname(m_socket, reinterpret_cast<sockaddr *>(&address), &length) == 0)
            m_port = ntohs(address.sin_port);
    }
    ~RefusingPort()
    {
        if (m_socket >= 0)
            ::close(m_socket);
    }
    RefusingPort(const RefusingPort &) = delete;
    RefusingPort &operator=(const RefusingPort &) = delete;

    // "http://127.0.0.1:<port>", or the discard port's address should no
    // port be had (nothing listens there on a test machine either).
    QString url() const { return QStringLiteral("http://127.0.0.1:%1").arg(m_port ? m_port : 9); }

private:
    int m_socket = -1;
    quint16 m_port = 0;
};

} // namespace kolu::test
