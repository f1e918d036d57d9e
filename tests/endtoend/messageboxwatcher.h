#ifndef FERROLINK_TESTS_MESSAGEBOXWATCHER_H
#define FERROLINK_TESTS_MESSAGEBOXWATCHER_H

#include <QApplication>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>

// Closes every modal message box soon after it shows, as a person would
// with OK, and remembers the texts it showed.
class MessageBoxWatcher
{
public:
    MessageBoxWatcher()
    {
        m_timer.setInterval(50);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                m_texts.append(box->text());
                box->accept();
            }
        });
        m_timer.start();
    }

    QStringList texts() const { return m_texts; }
    void clear() { m_texts.clear(); }

private:
    QTimer m_timer;
    QStringList m_texts;
};

#endif
