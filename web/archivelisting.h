// The archive page of the board (/races/), built on a thread of its own:
// the first listing reads every race's journal, which in a large archive
// takes seconds, and must never hold up the window, even in mid-race. A
// listing younger than a second is shared; an older one is built anew and
// every request that came meanwhile gets the new one.
#pragma once

#include "record/archiveworker.h"
#include "web/archiveindex.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>

#include <filesystem>
#include <functional>
#include <vector>

class ArchiveListing : public QObject {
    Q_OBJECT
public:
    explicit ArchiveListing(std::filesystem::path racesDir, QObject *parent = nullptr);

    using Answer = std::function<void(const QByteArray &page)>;
    /// Calls \a answer with the page on this object's thread: at once when
    /// a listing younger than a second is at hand, otherwise once the new
    /// one is built; answers come in the order asked.
    void whenReady(Answer answer);

private:
    void built(const QByteArray &page);

    QByteArray page_;
    QElapsedTimer age_;
    std::vector<Answer> waiting_;
    bool building_ = false;
    /// Used on the worker's thread only.
    ArchiveIndex index_;
    /// Declared last: it finishes a build before the index goes.
    ArchiveWorker worker_;
};
