#pragma once

#include <QString>
#include <QWidget>

namespace kolu {

class ElidedLabel;

// The placeholder row of an empty list: the symbol (18 pt medium,
// secondaryText, in a 28 x 28 frame) beside a bold 12 pt title and an 11 pt
// subtitle of at most two lines; full width, 6 points above and below.
class EmptyState : public QWidget {
    Q_OBJECT
public:
    EmptyState(const QString &symbol, const QString &title, const QString &subtitle, QWidget *parent = nullptr);

    void setContent(const QString &symbol, const QString &title, const QString &subtitle);
    // A subtitle that names a path, on at most three lines: the path is
    // never broken over two lines and is cut in its middle where it must be
    // (see ElidedLabel).
    void setPathContent(const QString &symbol, const QString &title, const QString &beforePath, const QString &path,
                        const QString &afterPath);
    const QString &symbol() const { return m_symbol; }
    ElidedLabel *titleLabel() const { return m_title; }
    ElidedLabel *subtitleLabel() const { return m_subtitle; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void applyColors();

    QString m_symbol;
    ElidedLabel *m_title;
    ElidedLabel *m_subtitle;
};

} // namespace kolu
