#pragma once
// Finds a window's controls by object name, so that windows keep their controls private and
// tests reach them as an accessibility tool would.

#include <QObject>
#include <QString>

#include <stdexcept>
#include <string>

namespace pagemint::test {

// The child of `window` named `name`, of type Control. A missing or mistyped control throws, so the
// test fails with the name instead of crashing the test program.
template <typename Control = QWidget> Control *control(const QObject &window, const QString &name)
{
    Control *found = window.findChild<Control *>(name);
    if (found == nullptr)
        throw std::runtime_error("no control named " + name.toStdString() + " of type " +
                                 Control::staticMetaObject.className());
    return found;
}

} // namespace pagemint::test
