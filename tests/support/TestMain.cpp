// Entry point of every test executable. KOLU_TEST_GUI: the clipboard,
// widgets and other parts that need a display (Xvfb in CI, offscreen when
// none is set). KOLU_TEST_OWN_DISPLAY: an X server of its own besides, with
// no other test's windows or pointer on it; listing the tests starts nothing.
#include "PrivateDisplay.h"
#include "platform/system/LoadableModule.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

// Runs what a test's teardown left queued once its fixture is gone: a request
// cancelled because its services went resumes its caller from the event loop,
// and without this turn the caller would stay suspended (and its frame held)
// until the process ends.
class PostTestDrain : public ::testing::EmptyTestEventListener {
    void OnTestEnd(const ::testing::TestInfo &) override
    {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
};

// A painter that overlaps another on the same device, or one used when it is
// not active, only warns and draws nothing: every such warning fails the
// test that caused it.
QtMessageHandler previousHandler = nullptr;

void failOnPainterWarnings(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtWarningMsg
        && (message.startsWith("QPainter::"_L1) || message.contains("Painter not active"_L1)
            || message.contains("paint device can only be painted by one painter"_L1))) {
        ADD_FAILURE() << "Qt warned: " << message.toStdString();
    }
    if (previousHandler)
        previousHandler(type, context, message);
}

} // namespace

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    kolu::addModuleFolder(QStringLiteral(KOLU_MODULE_BUILD_DIR));
    ::testing::UnitTest::GetInstance()->listeners().Append(new PostTestDrain);
    previousHandler = qInstallMessageHandler(failOnPainterWarnings);
    std::unique_ptr<kolu::test::PrivateDisplay> display;
#if defined(KOLU_TEST_OWN_DISPLAY)
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--gtest_list_tests") == 0)
            return RUN_ALL_TESTS();
    display = std::make_unique<kolu::test::PrivateDisplay>(1024, 768);
    if (!display->isRunning()) {
        fprintf(stderr, "Xvfb did not start\n");
        return 1;
    }
    qputenv("DISPLAY", display->name());
    qputenv("QT_QPA_PLATFORM", "xcb");
#elif defined(KOLU_TEST_GUI)
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
#if defined(KOLU_TEST_GUI) || defined(KOLU_TEST_OWN_DISPLAY)
    QApplication app(argc, argv);
#if defined(KOLU_TEST_OWN_DISPLAY)
    // KOLU_TEST_WM names a window manager to try these checks under.
    if (!qEnvironmentVariableIsEmpty("KOLU_TEST_WM") && !display->startWindowManager()) {
        fprintf(stderr, "the window manager did not start\n");
        return 1;
    }
#endif
#else
    QCoreApplication app(argc, argv);
#endif
    return RUN_ALL_TESTS();
}
