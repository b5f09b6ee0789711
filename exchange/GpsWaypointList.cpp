#include "exchange/GpsWaypointList.h"

#include "common/AppError.h"
#include "platform/Windows1252.h"

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <optional>

namespace exchange {

namespace {

// Read at a time: more than twice the longest line the reader takes (64 KiB), so that a line
// that begins in the window also ends in it.
constexpr qint64 kWindowBytes = 256 * 1024;

} // namespace

// The file and the window of its bytes read last.
class GpsWaypointList::Source {
public:
    explicit Source(const QString& path)
        : file_(path), size_(QFileInfo(path).size()), modified_(QFileInfo(path).lastModified()) {}

    // The bytes of the line that begins at `offset`, without its line end.
    QByteArrayView lineAt(qint64 offset) {
        if (const auto line = inWindow(offset)) {
            return *line;
        }
        fill(offset);
        if (const auto line = inWindow(offset)) {
            return *line;
        }
        changed();
    }

private:
    std::optional<QByteArrayView> inWindow(qint64 offset) const {
        if (offset < start_ || offset > start_ + window_.size()) {
            return std::nullopt;
        }
        const QByteArrayView rest = QByteArrayView(window_).sliced(offset - start_);
        for (qsizetype i = 0; i < rest.size(); ++i) {
            if (rest[i] == '\r' || rest[i] == '\n') {
                return rest.first(i);
            }
        }
        // The window ends the file, or the line may go on beyond it.
        const bool ends = start_ + window_.size() >= size_;
        return ends ? std::optional<QByteArrayView>(rest) : std::nullopt;
    }

    void fill(qint64 offset) {
        const QFileInfo now(file_.fileName());
        if (now.size() != size_ || now.lastModified() != modified_) {
            changed();
        }
        if (!file_.isOpen() && !file_.open(QIODevice::ReadOnly)) {
            changed();
        }
        if (!file_.seek(offset)) {
            changed();
        }
        window_ = file_.read(kWindowBytes);
        start_ = offset;
    }

public:
    [[noreturn]] void changed() const {
        throw common::AppError(
            common::kPathFileAccess,
            common::ErrorDescription(common::kPathFileAccess) + ": " +
                file_.fileName().toStdString() +
                " has changed or cannot be read since its waypoints were listed");
    }

private:
    QFile file_;
    qint64 size_;
    QDateTime modified_;
    QByteArray window_;
    qint64 start_ = -1;
};

GpsWaypointList::GpsWaypointList(const QString& path) : source_(std::make_shared<Source>(path)) {}

QStringList GpsWaypointList::operator[](std::size_t i) const {
    const QByteArrayView line = source_->lineAt(offsets_[i]);
    const qsizetype lastTab = line.lastIndexOf('\t');
    if (lastTab < 0) {
        source_->changed(); // it was a waypoint line when listed
    }
    return platform::DecodeWindows1252(line.first(lastTab)).split(QLatin1Char('\t'));
}

} // namespace exchange
