#include "platform/widgets/ColumnFit.h"

#include <QEvent>
#include <QHeaderView>
#include <QScreen>
#include <QTableView>
#include <QTimer>
#include <QTreeView>
#include <algorithm>
#include <functional>

namespace platform {

namespace {

// Fits the columns of one view whenever it is shown or resized or its rows change.
class ColumnFitter final : public QObject {
public:
    ColumnFitter(QAbstractItemView& view, QHeaderView& header,
                 std::function<void(int)> resizeToContents)
        : QObject(&view), view_(view), header_(header),
          resizeToContents_(std::move(resizeToContents)) {
        header_.setStretchLastSection(true);
        view_.installEventFilter(this);
        // Rows come after the view is made: fit once the model has settled.
        timer_.setSingleShot(true);
        timer_.setInterval(0);
        connect(&timer_, &QTimer::timeout, this, [this] { fit(); });
        watch();
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &view_ &&
            (event->type() == QEvent::Show || event->type() == QEvent::Resize)) {
            fit();
        }
        return false;
    }

private:
    void watch() {
        QAbstractItemModel* model = view_.model();
        if (model == nullptr || model == watched_) {
            return;
        }
        watched_ = model;
        for (const auto signal :
             {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved}) {
            connect(model, signal, &timer_, qOverload<>(&QTimer::start));
        }
        connect(model, &QAbstractItemModel::modelReset, &timer_, qOverload<>(&QTimer::start));
        connect(model, &QAbstractItemModel::layoutChanged, &timer_, qOverload<>(&QTimer::start));
        connect(model, &QAbstractItemModel::headerDataChanged, &timer_,
                qOverload<>(&QTimer::start));
    }

    // The room the columns share: the view's own once it is laid out, else half the screen.
    int room() const {
        if (view_.isVisible()) {
            return view_.viewport()->width();
        }
        const QScreen* screen = view_.screen();
        return screen != nullptr ? screen->availableGeometry().width() / 2 : 640;
    }

    void fit() {
        watch();
        const int count = header_.count();
        if (count == 0 || view_.model() == nullptr) {
            return;
        }
        const int limit = std::max(room(), 1);
        int last = -1;
        for (int visual = count - 1; visual >= 0; --visual) {
            if (!header_.isSectionHidden(header_.logicalIndex(visual))) {
                last = header_.logicalIndex(visual);
                break;
            }
        }
        for (int section = 0; section < count; ++section) {
            if (section == last || header_.isSectionHidden(section)) {
                continue;
            }
            const int width = header_.sectionSize(section);
            resizeToContents_(section);
            const int needed = header_.sectionSize(section);
            header_.resizeSection(section, std::max(width, std::min(needed, limit)));
        }
    }

    QAbstractItemView& view_;
    QHeaderView& header_;
    std::function<void(int)> resizeToContents_;
    QAbstractItemModel* watched_ = nullptr;
    QTimer timer_;
};

} // namespace

void KeepColumnsFitted(QTreeView& view) {
    new ColumnFitter(view, *view.header(),
                     [&view](int column) { view.resizeColumnToContents(column); });
}

void KeepColumnsFitted(QTableView& view) {
    new ColumnFitter(view, *view.horizontalHeader(),
                     [&view](int column) { view.resizeColumnToContents(column); });
}

} // namespace platform
