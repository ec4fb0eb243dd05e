#include "kit/store/adjustments_store.h"

#include "kit/store/atomic_file.h"

namespace nelvo {

AdjustmentsStore::AdjustmentsStore(std::filesystem::path fileURL, AtomicFile::Report report)
    : m_fileURL(std::move(fileURL)), m_report(std::move(report))
{
}

AdjustmentsStore AdjustmentsStore::readOnly(std::filesystem::path fileURL)
{
    AdjustmentsStore store(std::move(fileURL));
    store.m_isReadOnly = true;
    return store;
}

std::filesystem::path AdjustmentsStore::defaultURL(const XdgFolders& folders)
{
    return folders.dataHome / "nelvo" / "Availability" / "adjustments.json";
}

std::filesystem::path AdjustmentsStore::defaultURL()
{
    return defaultURL(XdgFolders::fromEnvironment());
}

Decoded<Adjustments> AdjustmentsStore::read() const
{
    std::error_code error;
    const auto text = AtomicFile::read(m_fileURL, error);
    if (!text && error == std::errc::no_such_file_or_directory)
        return Decoded<Adjustments>{Adjustments::empty(), {}};
    if (!text)
        return Decoded<Adjustments>::failure(AtomicFile::unreadableReason(error, {}));
    auto decoded = Adjustments::fromJson(*text);
    if (!decoded)
        return Decoded<Adjustments>::failure(AtomicFile::unreadableReason({}, decoded.error));
    return decoded;
}

Adjustments AdjustmentsStore::load() const
{
    auto decoded = read();
    return decoded ? std::move(*decoded.value) : Adjustments::empty();
}

std::error_code AdjustmentsStore::save(const Adjustments& adjustments) const
{
    if (m_isReadOnly)
        return std::make_error_code(std::errc::read_only_file_system);
    const std::string bytes = adjustments.toJson();
    std::error_code error;
    if (m_fileURL.has_parent_path()) {
        std::filesystem::create_directories(m_fileURL.parent_path(), error);
        if (error)
            return error;
    }
    // Checked at every save rather than remembered from load(): the file may have been
    // edited by hand since.
    if (const auto current = read(); !current) {
        const auto keptAs = AtomicFile::setAsideUnreadable(m_fileURL, error);
        if (!keptAs)
            return error;
        if (m_report)
            m_report(AtomicFile::keptAsideLine(m_fileURL, current.error, *keptAs));
    }
    return AtomicFile::write(m_fileURL, bytes);
}

}  // namespace nelvo
