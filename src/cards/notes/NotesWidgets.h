#pragma once

#include "model/Records.h"

#include <QWidget>

#include <vector>

class QToolButton;

namespace kolu {

class ElidedLabel;
class OrlixButton;
class OrlixTextArea;
class OrlixTextField;

// One recent note: its title and when it changed; a click opens it.
class NoteTile : public QWidget {
    Q_OBJECT
public:
    explicit NoteTile(const AppleNoteItem &note, QWidget *parent = nullptr);

    const AppleNoteItem &note() const { return m_note; }
    QSize sizeHint() const override { return {150, 154}; }

Q_SIGNALS:
    void openRequested(const QString &noteID);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void applyColors();

    AppleNoteItem m_note;
    ElidedLabel *m_title;
    ElidedLabel *m_modified;
};

// The new-note form: title, folder menu, body and "Save".
class NotesComposer : public QWidget {
    Q_OBJECT
public:
    explicit NotesComposer(QWidget *parent = nullptr);

    OrlixTextField *titleField() const { return m_title; }
    OrlixTextArea *bodyEditor() const { return m_body; }
    QToolButton *folderButton() const { return m_folderButton; }
    OrlixButton *saveButton() const { return m_save; }

    void setFolders(const std::vector<AppleNoteFolder> &folders, const QString &selectedID, bool isLoading);
    void setStatus(const QString &message, const QColor &color);
    QString statusText() const;

Q_SIGNALS:
    void folderChosen(const QString &folderID);
    void saveRequested();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    OrlixTextField *m_title;
    QToolButton *m_folderButton;
    OrlixTextArea *m_body;
    OrlixButton *m_save;
    ElidedLabel *m_status;
    ElidedLabel *m_categoryLabel;
};

} // namespace kolu
