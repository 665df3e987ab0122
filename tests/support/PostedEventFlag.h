#pragma once
// Notes whether a posted QEvent::User reached it: proof that events were handled meanwhile.
#include <QEvent>
#include <QObject>

namespace pagemint::test {

class PostedEventFlag : public QObject {
public:
    bool seen = false;
    bool event(QEvent *e) override
    {
        if (e->type() != QEvent::User)
            return QObject::event(e);
        seen = true;
        return true;
    }
};

} // namespace pagemint::test
