#include "ModalAnswerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QWidget>

namespace pagemint::test {

namespace {
constexpr int pollMs = 15;

QWidget *openWindow()
{
    if (QWidget *popup = QApplication::activePopupWidget())
        return popup;
    return QApplication::activeModalWidget();
}
} // namespace

MessageRecord describe(const QMessageBox &box)
{
    return {box.text(), box.windowTitle(), box.icon(), box.standardButtons(), box.detailedText()};
}

ModalAnswerer::ModalAnswerer(int timeoutMs) : timeoutMs_(timeoutMs)
{
    timer_.setInterval(pollMs);
    QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
    timer_.start();
}

ModalAnswerer::~ModalAnswerer()
{
    timer_.stop();
}

void ModalAnswerer::then(Answer answer)
{
    answers_.push_back(std::move(answer));
    idleMs_ = 0;
}

void ModalAnswerer::thenMessage(QMessageBox::StandardButton button, MessageRecord *record)
{
    then([button, record](QWidget *window) {
        auto *box = qobject_cast<QMessageBox *>(window);
        if (box == nullptr) {
            window->close();
            return;
        }
        if (record != nullptr)
            *record = describe(*box);
        if (QAbstractButton *pressed = box->button(button))
            pressed->click();
        else
            box->close();
    });
}

void ModalAnswerer::poll()
{
    QWidget *window = openWindow();
    // A menu or dialog object may be shown again later: it is new once it has been closed.
    if (window == nullptr)
        lastAnswered_ = nullptr;
    if (window == nullptr || window == lastAnswered_) {
        if (!answers_.empty() && (idleMs_ += pollMs) > timeoutMs_) {
            failures_ << QStringLiteral("an expected window never opened");
            answers_.clear();
        }
        return;
    }
    idleMs_ = 0;
    lastAnswered_ = window;
    if (auto *box = qobject_cast<QMessageBox *>(window))
        messages_.push_back(describe(*box));
    if (answers_.empty()) {
        failures_ << QStringLiteral("unexpected window: %1 \"%2\"")
                         .arg(QString::fromLatin1(window->metaObject()->className()), window->windowTitle());
        window->close();
        return;
    }
    Answer answer = std::move(answers_.front());
    answers_.pop_front();
    // Answer from the event loop of the window itself, not from inside this timer callback.
    QTimer::singleShot(0, window, [this, window, answer] {
        answer(window);
        // Closed by the answer: the same menu or dialog may open again at once.
        if (!window->isVisible())
            lastAnswered_ = nullptr;
    });
}

} // namespace pagemint::test
