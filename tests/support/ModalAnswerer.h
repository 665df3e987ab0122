#pragma once
// Answers modal windows (message boxes, dialogs) and pop-up menus the code under test opens, so
// that no test blocks on them. Answers are taken in order: each new modal or pop-up window is
// handed to the next answer. A window that no answer is left for, or an answer whose window never
// comes, is recorded as a failure and the window is closed, so a broken test fails instead of
// hanging.
#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <deque>
#include <functional>

class QWidget;

namespace pagemint::test {

struct MessageRecord {
    QString text;
    QString caption;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QString details; // the text behind the details button
};

MessageRecord describe(const QMessageBox &box);

class ModalAnswerer {
public:
    using Answer = std::function<void(QWidget *)>;

    explicit ModalAnswerer(int timeoutMs = 10000);
    ~ModalAnswerer();

    // Queues an answer for the next modal window or pop-up menu.
    void then(Answer answer);
    // Queues an answer that records a message box and presses `button` on it.
    void thenMessage(QMessageBox::StandardButton button, MessageRecord *record = nullptr);

    // Answers still waiting for their window.
    std::size_t pending() const { return answers_.size(); }
    // What went wrong: windows nobody answered, answers nobody asked for.
    const QStringList &failures() const { return failures_; }
    // Every message box seen, in order.
    const std::vector<MessageRecord> &messages() const { return messages_; }

private:
    void poll();

    std::deque<Answer> answers_;
    QStringList failures_;
    std::vector<MessageRecord> messages_;
    QTimer timer_;
    QPointer<QWidget> lastAnswered_;
    int idleMs_ = 0;
    int timeoutMs_;
};

} // namespace pagemint::test
