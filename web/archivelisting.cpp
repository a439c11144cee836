#include "web/archivelisting.h"

namespace {

// Many clients asking at once share one listing a second.
constexpr int kListingReuseMs = 1000;

} // namespace

ArchiveListing::ArchiveListing(std::filesystem::path racesDir, QObject *parent)
    : QObject(parent), index_(std::move(racesDir))
{
}

void ArchiveListing::whenReady(Answer answer)
{
    if (!building_ && age_.isValid() && !age_.hasExpired(kListingReuseMs)) {
        answer(page_);
        return;
    }
    waiting_.push_back(std::move(answer));
    if (building_)
        return;
    building_ = true;
    worker_.post([this] {
        const QByteArray page = QByteArray::fromStdString(archiveIndexHtml(index_.races()));
        QMetaObject::invokeMethod(this, [this, page] { built(page); }, Qt::QueuedConnection);
    });
}

void ArchiveListing::built(const QByteArray &page)
{
    page_ = page;
    age_.start();
    building_ = false;
    // An answer may ask again (a pipelined request read on its release):
    // it finds the fresh page, or waits for a new build after these.
    std::vector<Answer> answers;
    answers.swap(waiting_);
    for (const Answer &answer : answers)
        answer(page_);
}
