#pragma once
// Where the folder scan puts what it finds: the scan knows no list and no window.

#include <QStringList>

namespace pagemint {

class ScanSink {
public:
    virtual ~ScanSink() = default;
    // The pictures found since the last batch, in their final order; called once per round of
    // event handling, so a batch may be empty.
    virtual void appendBatch(const QStringList &paths) = 0;
    // Asked after each round of event handling: false ends the scan (the events closed what it
    // fills).
    virtual bool keepGoing() const = 0;
};

} // namespace pagemint
