#include "exchange/ZipArchive.h"

#include "platform/FileReplacement.h"

#include <QString>
#include <zlib.h>

namespace exchange {

namespace {

constexpr std::uint32_t kLocalSignature = 0x04034b50;
constexpr std::uint32_t kDescriptorSignature = 0x08074b50;
constexpr std::uint32_t kCentralSignature = 0x02014b50;
constexpr std::uint32_t kZip64EndSignature = 0x06064b50;
constexpr std::uint32_t kZip64LocatorSignature = 0x07064b50;
constexpr std::uint32_t kEndSignature = 0x06054b50;
constexpr std::uint16_t kVersion20 = 20; // deflate
constexpr std::uint16_t kVersion45 = 45; // ZIP64
constexpr std::uint16_t kDeflated = 8;
constexpr std::uint16_t kHasDescriptor = 0x0008;
// 1980-01-01 00:00, the earliest DOS time: the parts carry no time of their own.
constexpr std::uint16_t kDosTime = 0;
constexpr std::uint16_t kDosDate = 0x0021;
constexpr std::uint16_t kZip64ExtraId = 0x0001;
constexpr std::uint64_t kMax32 = 0xFFFFFFFF;
constexpr std::uint64_t kMax16 = 0xFFFF;
constexpr std::uint64_t kZip64EndSize = 44; // the record after its signature and this size

void Le16(QByteArray& out, std::uint64_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>(value >> 8 & 0xFF);
}

void Le32(QByteArray& out, std::uint64_t value) {
    Le16(out, value & 0xFFFF);
    Le16(out, value >> 16 & 0xFFFF);
}

void Le64(QByteArray& out, std::uint64_t value) {
    Le32(out, value & kMax32);
    Le32(out, value >> 32);
}

// A 32-bit field: the value, or the mark that it is in the ZIP64 record.
std::uint64_t Field32(std::uint64_t value, bool zip64) {
    return zip64 ? kMax32 : value;
}

[[noreturn]] void ZlibFailure(int code, std::string_view name, const QString& target) {
    throw platform::FileWriteError(
        QStringLiteral("zlib could not deflate the part %1 (error %2)")
            .arg(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())))
            .arg(code),
        target);
}

} // namespace

ZipArchive::ZipArchive(Sink out, const QString& target, bool alwaysZip64)
    : out_(std::move(out)), target_(target), alwaysZip64_(alwaysZip64) {}

void ZipArchive::put(const QByteArray& bytes) {
    out_(bytes);
    offset_ += static_cast<std::uint64_t>(bytes.size());
}

void ZipArchive::addPart(std::string_view name, QByteArrayView bytes) {
    z_stream stream{};
    if (const int code = deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8,
                                      Z_DEFAULT_STRATEGY);
        code != Z_OK) {
        ZlibFailure(code, name, target_);
    }
    QByteArray deflated(
        static_cast<qsizetype>(deflateBound(&stream, static_cast<uLong>(bytes.size()))),
        Qt::Uninitialized);
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    stream.avail_in = static_cast<uInt>(bytes.size());
    stream.next_out = reinterpret_cast<Bytef*>(deflated.data());
    stream.avail_out = static_cast<uInt>(deflated.size());
    const int code = deflate(&stream, Z_FINISH);
    deflated.resize(static_cast<qsizetype>(stream.total_out));
    deflateEnd(&stream);
    if (code != Z_STREAM_END) {
        ZlibFailure(code, name, target_);
    }

    Entry entry;
    entry.name = std::string(name);
    entry.crc = static_cast<std::uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
    entry.compressed = static_cast<std::uint64_t>(deflated.size());
    entry.size = static_cast<std::uint64_t>(bytes.size());
    entry.offset = offset_;
    localHeader(entry);
    put(deflated);
    entries_.push_back(std::move(entry));
}

void ZipArchive::beginPart(std::string_view name, bool large) {
    Entry entry;
    entry.name = std::string(name);
    entry.offset = offset_;
    entry.streamed = true;
    entry.large = large;
    localHeader(entry);
    entries_.push_back(std::move(entry));
}

void ZipArchive::writeDeflated(QByteArrayView bytes) {
    out_(bytes);
    offset_ += static_cast<std::uint64_t>(bytes.size());
    entries_.back().compressed += static_cast<std::uint64_t>(bytes.size());
}

void ZipArchive::endPart(std::uint32_t crc, std::uint64_t size) {
    Entry& entry = entries_.back();
    entry.crc = crc;
    entry.size = size;
    if (!entry.large && (entry.size >= kMax32 || entry.compressed >= kMax32)) {
        throw platform::FileWriteError(
            QStringLiteral("the part %1 passes the 4 GiB of a zip part without ZIP64")
                .arg(QString::fromStdString(entry.name)),
            target_);
    }
    QByteArray descriptor;
    Le32(descriptor, kDescriptorSignature);
    Le32(descriptor, entry.crc);
    if (entry.large) {
        Le64(descriptor, entry.compressed);
        Le64(descriptor, entry.size);
    } else {
        Le32(descriptor, entry.compressed);
        Le32(descriptor, entry.size);
    }
    put(descriptor);
}

// A streamed part says in version 4.5 that its descriptor holds 8-byte sizes, and carries no
// extra field: the layout Excel takes for parts beyond 4 GiB.
void ZipArchive::localHeader(const Entry& entry) {
    QByteArray header;
    Le32(header, kLocalSignature);
    Le16(header, entry.large ? kVersion45 : kVersion20);
    Le16(header, entry.streamed ? kHasDescriptor : 0);
    Le16(header, kDeflated);
    Le16(header, kDosTime);
    Le16(header, kDosDate);
    Le32(header, entry.crc);
    Le32(header, entry.compressed);
    Le32(header, entry.size);
    Le16(header, entry.name.size());
    Le16(header, 0); // no extra field
    header.append(entry.name.data(), static_cast<qsizetype>(entry.name.size()));
    put(header);
}

QByteArray ZipArchive::centralRecord(const Entry& entry) const {
    const bool bigSize = alwaysZip64_ || entry.size >= kMax32;
    const bool bigCompressed = alwaysZip64_ || entry.compressed >= kMax32;
    const bool bigOffset = alwaysZip64_ || entry.offset >= kMax32;
    QByteArray extra;
    if (bigSize || bigCompressed || bigOffset) {
        QByteArray values;
        if (bigSize) {
            Le64(values, entry.size);
        }
        if (bigCompressed) {
            Le64(values, entry.compressed);
        }
        if (bigOffset) {
            Le64(values, entry.offset);
        }
        Le16(extra, kZip64ExtraId);
        Le16(extra, static_cast<std::uint64_t>(values.size()));
        extra += values;
    }
    const std::uint16_t version = entry.large || !extra.isEmpty() ? kVersion45 : kVersion20;
    QByteArray record;
    Le32(record, kCentralSignature);
    Le16(record, version); // made by, on MS-DOS
    Le16(record, version); // needed
    Le16(record, entry.streamed ? kHasDescriptor : 0);
    Le16(record, kDeflated);
    Le16(record, kDosTime);
    Le16(record, kDosDate);
    Le32(record, entry.crc);
    Le32(record, Field32(entry.compressed, bigCompressed));
    Le32(record, Field32(entry.size, bigSize));
    Le16(record, entry.name.size());
    Le16(record, static_cast<std::uint64_t>(extra.size()));
    Le16(record, 0); // comment
    Le16(record, 0); // disk
    Le16(record, 0); // internal attributes
    Le32(record, 0); // external attributes
    Le32(record, Field32(entry.offset, bigOffset));
    record.append(entry.name.data(), static_cast<qsizetype>(entry.name.size()));
    record += extra;
    return record;
}

void ZipArchive::finish() {
    const std::uint64_t start = offset_;
    for (const Entry& entry : entries_) {
        put(centralRecord(entry));
    }
    const std::uint64_t size = offset_ - start;
    const std::uint64_t count = entries_.size();
    const bool zip64 = alwaysZip64_ || count >= kMax16 || size >= kMax32 || start >= kMax32;
    QByteArray end;
    if (zip64) {
        const std::uint64_t zip64End = offset_;
        Le32(end, kZip64EndSignature);
        Le64(end, kZip64EndSize);
        Le16(end, kVersion45);
        Le16(end, kVersion45);
        Le32(end, 0); // this disk
        Le32(end, 0); // the disk of the central directory
        Le64(end, count);
        Le64(end, count);
        Le64(end, size);
        Le64(end, start);
        Le32(end, kZip64LocatorSignature);
        Le32(end, 0);
        Le64(end, zip64End);
        Le32(end, 1); // disks
    }
    Le32(end, kEndSignature);
    Le16(end, 0);
    Le16(end, 0);
    // Where the ZIP64 record is there, a field that does not fit says so with its largest value.
    const std::uint64_t count16 = alwaysZip64_ || count >= kMax16 ? kMax16 : count;
    Le16(end, count16);
    Le16(end, count16);
    Le32(end, Field32(size, alwaysZip64_ || size >= kMax32));
    Le32(end, Field32(start, alwaysZip64_ || start >= kMax32));
    Le16(end, 0); // comment
    put(end);
}

} // namespace exchange
