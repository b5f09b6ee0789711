#include "document/OutsideTables.h"

#include "common/AppError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <algorithm>
#include <sys/resource.h>

namespace document {

namespace {

const char* const kHelperName = "dovazov-table-copy";
// An Access file holds at most 2 GB, so neither its copy nor the memory to make it needs more than
// this; the limits stop a file whose pages point at each other from filling the disk or memory.
constexpr rlim_t kChildByteLimit = rlim_t{4} << 30;
constexpr qint64 kMaxReasonBytes = 4096;
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kAddressSanitized = true;
#else
constexpr bool kAddressSanitized = false;
#endif
#else
constexpr bool kAddressSanitized = false;
#endif

quint16 Word(const QByteArray& bytes, int at) {
    return static_cast<quint16>(static_cast<quint8>(bytes[at]) |
                                (static_cast<quint8>(bytes[at + 1]) << 8));
}

bool IsAccess(const QByteArray& head) {
    return head.size() >= 19 && head.startsWith(QByteArray("\x00\x01\x00\x00", 4)) &&
           (head.mid(4, 15) == "Standard Jet DB" || head.mid(4, 15) == "Standard ACE DB");
}

// A Paradox data table (.DB): its header size is a whole number of 1 KB blocks, its type that of
// a data table, its block size one Paradox allows, and its version one of Paradox 3 to 7.
bool IsParadox(const QByteArray& head) {
    constexpr int kVersionAt = 0x39;
    if (head.size() <= kVersionAt) {
        return false;
    }
    const quint16 recordSize = Word(head, 0);
    const quint16 headerSize = Word(head, 2);
    const auto type = static_cast<quint8>(head[4]);
    const auto blockKb = static_cast<quint8>(head[5]);
    const auto version = static_cast<quint8>(head[kVersionAt]);
    return recordSize > 0 && headerSize > 0 && headerSize % 0x400 == 0 &&
           (type == 0 || type == 2) &&
           (blockKb == 1 || blockKb == 2 || blockKb == 3 || blockKb == 4 || blockKb == 8 ||
            blockKb == 16 || blockKb == 32) &&
           version >= 3 && version <= 12;
}

// A dBase table: a known version byte, a date of last change, and a header that holds at least
// its own 32 bytes and the end mark of the field list.
bool IsDbase(const QByteArray& head) {
    if (head.size() < 32) {
        return false;
    }
    static const QByteArray kVersions(
        "\x02\x03\x04\x05\x30\x31\x32\x43\x63\x83\x8B\x8E\xCB\xF5\xFB");
    const auto month = static_cast<quint8>(head[2]);
    const auto day = static_cast<quint8>(head[3]);
    return kVersions.contains(head[0]) && month >= 1 && month <= 12 && day >= 1 && day <= 31 &&
           Word(head, 8) >= 33 && Word(head, 10) >= 1;
}

QString NativePath(const QString& path) {
    return QDir::toNativeSeparators(path);
}

[[noreturn]] void Fail(const QString& source, const QString& reason) {
    throw common::AppError(common::kDatabaseError,
                           UnreadableDatabaseText(source, reason).toStdString());
}

} // namespace

QString UnreadableDatabaseText(const QString& path, const QString& reason) {
    return QStringLiteral("Cannot read the database '%1': %2.").arg(NativePath(path), reason);
}

TableFileKind TableFileKindOf(const QByteArray& head) {
    if (IsAccess(head)) {
        return TableFileKind::Access;
    }
    if (head.startsWith(QByteArray("SQLite format 3\0", 16))) {
        return TableFileKind::Sqlite;
    }
    if (IsParadox(head)) {
        return TableFileKind::Paradox;
    }
    if (IsDbase(head)) {
        return TableFileKind::Dbase;
    }
    return TableFileKind::Unknown;
}

TableFileKind RecogniseTableFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return TableFileKind::Unknown;
    }
    return TableFileKindOf(file.read(kTableFileHeadBytes));
}

std::chrono::milliseconds TableCopyTimeLimit(qint64 fileBytes) {
    return kTableCopyBaseTime +
           std::chrono::seconds(std::max<qint64>(fileBytes, 0) / kTableCopyBytesPerSecond);
}

OutsideTableCopy::OutsideTableCopy(const QString& source, TableFileKind kind, Scope scope,
                                   const QStringList& tables,
                                   std::optional<std::chrono::milliseconds> timeLimit) {
    if (kind != TableFileKind::Access && kind != TableFileKind::Paradox) {
        Fail(source, QStringLiteral("it is neither an Access database nor a Paradox table"));
    }
    if (!folder_.isValid()) {
        Fail(source,
             QStringLiteral("no private folder for its copy: %1").arg(folder_.errorString()));
    }
    path_ = folder_.filePath(QStringLiteral("copy.sqlite"));
    QStringList arguments{
        scope == Scope::Rows ? QStringLiteral("--rows") : QStringLiteral("--schema"),
        kind == TableFileKind::Access ? QStringLiteral("access") : QStringLiteral("paradox"),
        source, path_};
    arguments += tables;

    QProcess child;
    child.setProgram(QDir(QCoreApplication::applicationDirPath()).filePath(kHelperName));
    child.setArguments(arguments);
    const QString reasonFile = folder_.filePath(QStringLiteral("reason.txt"));
    child.setStandardOutputFile(reasonFile);
    child.setStandardErrorFile(QProcess::nullDevice());
    child.setChildProcessModifier([] {
        // A fault leaves no core file; a runaway file stops at the limits.
        const rlimit none{0, 0};
        setrlimit(RLIMIT_CORE, &none);
        const rlimit bytes{kChildByteLimit, kChildByteLimit};
        if (!kAddressSanitized) {
            // The address sanitizer maps terabytes of shadow memory, which any address-space
            // limit refuses at the child's start.
            setrlimit(RLIMIT_AS, &bytes);
        }
        setrlimit(RLIMIT_FSIZE, &bytes);
    });
    child.start();
    if (!child.waitForStarted()) {
        Fail(source, QStringLiteral("its reader %1 cannot be started (%2)")
                         .arg(QLatin1String(kHelperName), child.errorString()));
    }
    const std::chrono::milliseconds limit =
        timeLimit.value_or(TableCopyTimeLimit(QFileInfo(source).size()));
    if (!child.waitForFinished(static_cast<int>(limit.count()))) {
        child.kill();
        child.waitForFinished();
        Fail(source, QStringLiteral("reading it took longer than %1 seconds")
                         .arg(std::chrono::duration_cast<std::chrono::seconds>(limit).count()));
    }
    if (child.exitStatus() == QProcess::CrashExit) {
        Fail(source, QStringLiteral("its reader stopped on damage in the file"));
    }
    if (child.exitCode() != 0) {
        QFile output(reasonFile);
        QString reason;
        if (output.open(QIODevice::ReadOnly)) {
            for (const QByteArray& line : output.read(kMaxReasonBytes).split('\n')) {
                if (line.startsWith("error: ")) {
                    reason = QString::fromUtf8(line.mid(7)).trimmed();
                }
            }
        }
        Fail(source, reason.isEmpty() ? QStringLiteral("its reader failed") : reason);
    }
}

} // namespace document
