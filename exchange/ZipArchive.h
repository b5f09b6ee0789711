#pragma once

// A zip archive written front to back, never seeking back, so that it can go straight into a file
// replacement. A part whose bytes are all at hand is deflated at once and its local header carries
// its CRC and sizes; a streamed part gets its CRC and sizes in a data descriptor after its bytes.
// ZIP64 records are written where the sizes, offsets or counts need them.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace exchange {

class ZipArchive {
public:
    // Receives the archive's bytes in order.
    using Sink = std::function<void(QByteArrayView)>;

    // `target` names the file in errors. `alwaysZip64`: the central directory and its end in their
    // ZIP64 forms even where the sizes fit, as an archive beyond 4 GiB has them.
    ZipArchive(Sink out, const QString& target, bool alwaysZip64 = false);

    // A part deflated at zlib's default level.
    void addPart(std::string_view name, QByteArrayView bytes);

    // A part whose deflated bytes come through writeDeflated(). `large`: its sizes may pass
    // 4 GiB, so its data descriptor holds 8-byte sizes.
    void beginPart(std::string_view name, bool large);
    void writeDeflated(QByteArrayView bytes);
    // Ends the streamed part: the CRC-32 and size of its bytes before deflating.
    void endPart(std::uint32_t crc, std::uint64_t size);

    // Writes the central directory; nothing may be added after.
    void finish();

private:
    struct Entry {
        std::string name;
        std::uint32_t crc = 0;
        std::uint64_t compressed = 0;
        std::uint64_t size = 0;
        std::uint64_t offset = 0;
        bool streamed = false;
        bool large = false;
    };

    void put(const QByteArray& bytes);
    void localHeader(const Entry& entry);
    QByteArray centralRecord(const Entry& entry) const;

    Sink out_;
    QString target_;
    bool alwaysZip64_;
    std::uint64_t offset_ = 0;
    std::vector<Entry> entries_;
};

} // namespace exchange
