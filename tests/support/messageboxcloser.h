#ifndef FERROLINK_TESTS_MESSAGEBOXCLOSER_H
#define FERROLINK_TESTS_MESSAGEBOXCLOSER_H

#include <QApplication>
#include <QMessageBox>
#include <QObject>
#include <QStringList>
#include <QTimer>

// Accepts every modal message box soon after it opens, as a person would
// with OK, noting what it showed. For tests that link Qt6::Widgets.
class MessageBoxCloser : public QObject
{
public:
    MessageBoxCloser()
    {
        m_timer.setInterval(20);
        connect(&m_timer, &QTimer::timeout, this, &MessageBoxCloser::look);
        m_timer.start();
    }

    int count() const { return m_texts.size(); }
    QStringList texts() const { return m_texts; }
    // Whether every box had no icon and one OK button only.
    bool plain() const { return m_plain; }
    void clear() { m_texts.clear(); }

private:
    void look()
    {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        m_texts.append(box->text());
        m_plain = m_plain && box->icon() == QMessageBox::NoIcon
            && box->standardButtons() == QMessageBox::Ok;
        box->accept();
    }

    QTimer m_timer;
    QStringList m_texts;
    bool m_plain = true;
};

#endif
