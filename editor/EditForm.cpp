#include "editor/EditForm.h"

#include "editor/EditorGeometry.h"
#include "editor/PlaceSearch.h"
#include "geodesy/CoordinateText.h"
#include "geodesy/DatumTables.h"
#include "platform/ErrorBox.h"
#include "platform/StringTable.h"
#include "platform/widgets/ScreenFit.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <QValidator>
#include <exception>

namespace editor {

// Limits what the user types to a number of characters; unlike a maximum length it leaves texts
// the editor writes (a loaded row, a place from the gazetteer) whole.
class TypingLimit final : public QValidator {
public:
    explicit TypingLimit(int limit, QObject* parent) : QValidator(parent), limit_(limit) {}
    void setLimit(int limit) { limit_ = limit; }
    State validate(QString& input, int&) const override {
        return limit_ <= 0 || input.size() <= limit_ ? Acceptable : Invalid;
    }

private:
    int limit_;
};

namespace {

// Colours of the window, as 0x00BBGGRR values read into RGB.
const QColor kInputBoxColour(0xFF, 0xE0, 0xC0);
const QColor kCheckCaptionColour(0xFF, 0xC0, 0xC0);
const QColor kCheckValueColour(0x80, 0x80, 0x80);
const QColor kHighlightColour(0x00, 0x00, 0xFF);

// The input frame's rows, in pixels: box labels, boxes, the datum line and the system list.
constexpr int kBoxLabelTop = 20;
constexpr int kBoxTop = 38;
constexpr int kBoxHeight = 22;
constexpr int kDatumTop = 68;
constexpr int kSystemTop = 98;
constexpr int kInputFrameWidth = 270;
constexpr int kInputFrameHeight = 132;
constexpr int kFrameMargin = 8; // between the input frame's edges and its controls
// The free-field frame's height as designed, and the label column's width, in twips.
constexpr int kFreeFrameTwips = 2000;
constexpr int kLabelColumnTwips = 2000;
constexpr int kValueColumnMarginTwips = 300;

void SetBackground(QWidget* widget, const QColor& colour, QPalette::ColorRole role) {
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
    if (role == QPalette::Window) {
        widget->setAutoFillBackground(true);
    }
}

QString DatumCaption(int id, int datumIndex) {
    QString code;
    try {
        code = QString::fromStdString(geodesy::Datums().datum(datumIndex).Code);
    } catch (const std::exception&) {
    }
    return platform::ResText(id) + QStringLiteral(" [") + code + QLatin1Char(']');
}

} // namespace

EditForm::EditForm(EditorHost& host, QWidget* parent) : QDialog(parent), editor_(host) {
    editor_.state().OnLoad = true;
    buildControls();
    setCaptionsAndColours();
    editor_.Form_Load();
    ShowState();
    placeWindow();
}

EditForm::~EditForm() {
    // The controls outlive the editor's state while the window is taken down: nothing they still
    // signal or filter may reach it.
    for (QObject* child : findChildren<QObject*>()) {
        child->removeEventFilter(this);
        QObject::disconnect(child, nullptr, this, nullptr);
    }
}

void EditForm::buildControls() {
    setObjectName(QStringLiteral("EditForm"));
    auto* layout = new QVBoxLayout(this);

    Frame3D1 = new QGroupBox(this);
    auto* fields = new QGridLayout(Frame3D1);
    for (int i = 1; i <= 8; ++i) {
        Label[static_cast<std::size_t>(i)] = new QLabel(Frame3D1);
    }
    const auto lineEdit = [this](int limit) {
        auto* edit = new QLineEdit(Frame3D1);
        edit->setValidator(new TypingLimit(limit, edit));
        edit->installEventFilter(this);
        return edit;
    };
    ChampLatitude = lineEdit(9);
    ChampLongitude = lineEdit(10);
    ChampPeriode = lineEdit(1);
    ChampCh1 = lineEdit(5);
    ChampCh2 = lineEdit(5);
    ChampSex = lineEdit(1);
    ChampAnnee = new QLineEdit(Frame3D1);
    ChampAnnee->setInputMask(QStringLiteral("0000/00/00;_"));
    ChampAnnee->installEventFilter(this);
    ChampLibre = new QPlainTextEdit(Frame3D1);
    ChampLibre->setTabChangesFocus(true);
    ChampLibre->installEventFilter(this);
    const std::array<std::pair<int, QWidget*>, 8> rows{{{1, ChampLatitude},
                                                        {2, ChampLongitude},
                                                        {3, ChampPeriode},
                                                        {4, ChampCh1},
                                                        {5, ChampCh2},
                                                        {8, ChampSex},
                                                        {7, ChampAnnee},
                                                        {6, ChampLibre}}};
    int row = 0;
    for (const auto& [label, field] : rows) {
        fields->addWidget(Label[static_cast<std::size_t>(label)], row, 0,
                          Qt::AlignLeft | Qt::AlignTop);
        fields->addWidget(field, row, 1);
        ++row;
    }

    FrameInput = new QGroupBox(this);
    FrameInput->setFixedSize(kInputFrameWidth, kInputFrameHeight);
    FrameInputCaption = new QLabel(FrameInput);
    FrameInputCaption->move(kFrameMargin, 2);
    FrameInputCaption->resize(kInputFrameWidth - 2 * kFrameMargin, 18);
    for (std::size_t i = 0; i < 3; ++i) {
        LblEditBox[i] = new QLabel(FrameInput);
        EditBox[i] = new QLineEdit(FrameInput);
        boxLimits_[i] = new TypingLimit(0, EditBox[i]);
        EditBox[i]->setValidator(boxLimits_[i]);
        EditBox[i]->installEventFilter(this);
    }
    lblDatum = new QLabel(FrameInput);
    lblDatum->setGeometry(8, kDatumTop, 80, kBoxHeight);
    lblDatum->setFrameShape(QFrame::Panel);
    lblDatum->setFrameShadow(QFrame::Sunken);
    cmdChangeDatum = new QPushButton(QStringLiteral("Datum..."), FrameInput);
    cmdChangeDatum->setGeometry(96, kDatumTop, 90, kBoxHeight);
    cmbSystem = new QComboBox(FrameInput);
    cmbSystem->setGeometry(kFrameMargin, kSystemTop, kInputFrameWidth - 2 * kFrameMargin,
                           kBoxHeight + 2);

    Frame3D2 = new QGroupBox(this);
    auto* check = new QGridLayout(Frame3D2);
    LabelDMS = new QLabel(Frame3D2);
    LabelUtmMetrique = new QLabel(Frame3D2);
    LabelUtmAlpha = new QLabel(Frame3D2);
    LabelLibre = new QLabel(Frame3D2);
    ValeurDMS = new QLabel(Frame3D2);
    ValeurUtmMetrique = new QLabel(Frame3D2);
    ValeurUtmAlpha = new QLabel(Frame3D2);
    ValeurLibre = new QLabel(Frame3D2);
    const std::array<std::pair<QLabel*, QLabel*>, 4> lines{{{LabelDMS, ValeurDMS},
                                                            {LabelUtmMetrique, ValeurUtmMetrique},
                                                            {LabelUtmAlpha, ValeurUtmAlpha},
                                                            {LabelLibre, ValeurLibre}}};
    row = 0;
    for (const auto& [caption, value] : lines) {
        check->addWidget(caption, row, 0);
        check->addWidget(value, row, 1);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        ++row;
    }
    check->setColumnStretch(1, 1);

    auto* right = new QVBoxLayout;
    right->addWidget(FrameInput);
    right->addWidget(Frame3D2);
    right->addStretch(1);
    auto* top = new QHBoxLayout;
    top->addWidget(Frame3D1, 1);
    top->addLayout(right);
    layout->addLayout(top);

    FrameFree = new QGroupBox(this);
    FrameFree->setMinimumHeight(TwipsToPixels(kFreeFrameTwips));
    auto* free = new QVBoxLayout(FrameFree);
    Grid = new QTableWidget(0, 2, FrameFree);
    Grid->setObjectName(QStringLiteral("Grid"));
    Grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid->setSelectionMode(QAbstractItemView::SingleSelection);
    Grid->verticalHeader()->hide();
    Grid->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Fixed);
    Grid->horizontalHeader()->resizeSection(0, TwipsToPixels(kLabelColumnTwips));
    Grid->horizontalHeader()->setStretchLastSection(true);
    Grid->setHorizontalHeaderLabels({QString(), QString()});
    Grid->installEventFilter(this);
    free->addWidget(Grid);
    txtEdit = new QLineEdit(Grid->viewport());
    txtEdit->hide();
    txtEdit->installEventFilter(this);
    layout->addWidget(FrameFree, 1);

    auto* buttons = new QHBoxLayout;
    cmdNavig[1] = new QPushButton(style()->standardIcon(QStyle::SP_ArrowBack), QString(), this);
    lblCpt = new QLabel(this);
    lblCpt->setMinimumWidth(60);
    lblCpt->setAlignment(Qt::AlignCenter);
    cmdNavig[0] = new QPushButton(style()->standardIcon(QStyle::SP_ArrowForward), QString(), this);
    ButNew = new QPushButton(this);
    ButDupl = new QPushButton(this);
    cmdSearch = new QPushButton(this);
    ButOk = new QPushButton(this);
    ButEsc = new QPushButton(this);
    for (QPushButton* button :
         {cmdNavig[1], cmdNavig[0], ButNew, ButDupl, cmdSearch, ButOk, ButEsc, cmdChangeDatum}) {
        // Enter in a field never presses a button: it moves to the next field or does nothing.
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    // These buttons run the focused field's leaving work themselves: a click leaves the focus
    // where it is, so that the work (and a refusal's message) comes once, not again on the focus
    // going to the button.
    for (QPushButton* button : {cmdNavig[1], cmdNavig[0], ButDupl, ButOk, ButEsc}) {
        button->setFocusPolicy(Qt::TabFocus);
    }
    buttons->addWidget(cmdNavig[1]);
    buttons->addWidget(lblCpt);
    buttons->addWidget(cmdNavig[0]);
    buttons->addSpacing(12);
    buttons->addWidget(ButNew);
    buttons->addWidget(ButDupl);
    buttons->addWidget(cmdSearch);
    buttons->addStretch(1);
    buttons->addWidget(ButOk);
    buttons->addWidget(ButEsc);
    layout->addLayout(buttons);

    // What the user types goes to the editor's state.
    const std::array<std::pair<QLineEdit*, Control>, 6> plain{{
        {ChampLatitude, Control::ChampLatitude},
        {ChampLongitude, Control::ChampLongitude},
        {ChampPeriode, Control::ChampPeriode},
        {ChampCh1, Control::ChampCh1},
        {ChampCh2, Control::ChampCh2},
        {ChampSex, Control::ChampSex},
    }};
    for (const auto& [edit, control] : plain) {
        connect(edit, &QLineEdit::textEdited, this, [this, c = control](const QString& text) {
            Handle([&] { editor_.Edit(c, text); });
        });
    }
    connect(ChampAnnee, &QLineEdit::textEdited, this, [this] {
        Handle([this] { editor_.Edit(Control::ChampAnnee, ChampAnnee->displayText()); });
    });
    for (int i = 0; i < 3; ++i) {
        connect(EditBox[static_cast<std::size_t>(i)], &QLineEdit::textEdited, this,
                [this, i](const QString& text) {
                    Handle([&] { editor_.Edit(EditBoxControl(i), text); });
                });
    }
    connect(ChampLibre, &QPlainTextEdit::textChanged, this, [this] {
        if (!syncing_) {
            Handle([this] { editor_.Edit(Control::ChampLibre, ChampLibre->toPlainText()); });
        }
    });
    connect(txtEdit, &QLineEdit::textChanged, this, [this] {
        editor_.CellEditorChanged();
        ButOk->setEnabled(editor_.state().ButOkEnabled);
    });

    // Enter moves on along the record fields.
    const std::array<std::pair<QLineEdit*, QWidget*>, 5> chain{{{ChampLatitude, ChampLongitude},
                                                                {ChampLongitude, ChampPeriode},
                                                                {ChampPeriode, ChampCh1},
                                                                {ChampCh1, ChampCh2},
                                                                {ChampCh2, ChampLibre}}};
    for (const auto& [from, to] : chain) {
        connect(from, &QLineEdit::returnPressed, to, [next = to] { next->setFocus(); });
    }

    connect(ButOk, &QPushButton::clicked, this, [this] { ButOk_Click(); });
    connect(ButEsc, &QPushButton::clicked, this, [this] { ButEsc_Click(); });
    connect(cmdNavig[0], &QPushButton::clicked, this, [this] { cmdNavig_Click(0); });
    connect(cmdNavig[1], &QPushButton::clicked, this, [this] { cmdNavig_Click(1); });
    connect(ButNew, &QPushButton::clicked, this, [this] { ButNew_Click(); });
    connect(ButDupl, &QPushButton::clicked, this, [this] { ButDupl_Click(); });
    connect(cmdSearch, &QPushButton::clicked, this, [this] { cmdSearch_Click(); });
    connect(cmdChangeDatum, &QPushButton::clicked, this, [this] { cmdChangeDatum_Click(); });
    connect(cmbSystem, &QComboBox::activated, this, [this](int index) { cmbSystem_Click(index); });

    // The grid's notifications: a double click opens an edit with the text selected; moving to
    // another cell or scrolling commits an open edit.
    connect(Grid, &QTableWidget::cellDoubleClicked, this, [this] { MSHFlexGridEdit(-1); });
    connect(Grid, &QTableWidget::currentCellChanged, this, [this] { CommitCellEdit(); });
    connect(Grid->verticalScrollBar(), &QScrollBar::valueChanged, this,
            [this] { CommitCellEdit(); });
}

void EditForm::setCaptionsAndColours() {
    for (QGroupBox* frame : {FrameInput, Frame3D1, Frame3D2, FrameFree}) {
        frame->setAutoFillBackground(true);
    }
    setWindowTitle(platform::ResText(200));
    Frame3D1->setTitle(platform::ResText(201));
    Label[1]->setText(platform::ResText(202));
    Label[2]->setText(platform::ResText(203));
    Label[3]->setText(platform::ResText(204));
    Label[6]->setText(platform::ResText(205));
    Label[7]->setText(platform::ResText(229));
    Label[8]->setText(QStringLiteral("Sex:"));
    Frame3D2->setTitle(platform::ResText(206));
    const geodesy::DatumState& datums = geodesy::Datums();
    LabelDMS->setText(DatumCaption(207, datums.DestIndex));
    LabelUtmMetrique->setText(DatumCaption(208, datums.UTMIndex));
    LabelUtmAlpha->setText(DatumCaption(209, datums.UTMIndex));
    ButOk->setText(platform::ResText(210));
    ButEsc->setText(platform::ResText(211));
    ButOk->setEnabled(false);
    for (QLineEdit* box : EditBox) {
        SetBackground(box, kInputBoxColour, QPalette::Base);
    }
    for (QLabel* caption : {LabelDMS, LabelUtmMetrique, LabelUtmAlpha, LabelLibre}) {
        SetBackground(caption, kCheckCaptionColour, QPalette::Window);
    }
    for (QLabel* value : {ValeurDMS, ValeurUtmMetrique, ValeurUtmAlpha, ValeurLibre}) {
        SetBackground(value, kCheckValueColour, QPalette::Window);
    }
    for (int id = 300; id < 300 + geodesy::kCoordSystemCount; ++id) {
        cmbSystem->addItem(platform::ResText(id));
    }
    cmdSearch->setText(platform::ResText(767));
    ButDupl->setText(platform::ResText(771));
    ButNew->setText(platform::ResText(772));
}

void EditForm::placeWindow() {
    const EditorGeometry stored = ReadEditorGeometry();
    // The free-field layout decides the height: the window ends below the record fields when the
    // document has no free field, below the free-field frame otherwise.
    FrameFree->setVisible(!editor_.state().freeFieldLabels.isEmpty());
    layout()->activate();
    const QSize size(std::max(width(), sizeHint().width()), sizeHint().height());
    QRect wanted(QPoint(0, TwipsToPixels(stored.top)), size);
    if (parentWidget() != nullptr) {
        wanted.moveLeft(parentWidget()->geometry().center().x() - size.width() / 2);
    }
    // The room each screen leaves the window once its title bar and frame are taken off.
    const QMargins frame = platform::FrameMargins(*this);
    QList<QRect> screens;
    for (const QScreen* screen : QGuiApplication::screens()) {
        screens.append(screen->availableGeometry() - frame);
    }
    setGeometry(PlaceOnScreen(wanted, screens));
}

QWidget* EditForm::widgetOf(Control control) const {
    switch (control) {
    case Control::ChampLatitude:
        return ChampLatitude;
    case Control::ChampLongitude:
        return ChampLongitude;
    case Control::ChampPeriode:
        return ChampPeriode;
    case Control::ChampCh1:
        return ChampCh1;
    case Control::ChampCh2:
        return ChampCh2;
    case Control::ChampSex:
        return ChampSex;
    case Control::ChampAnnee:
        return ChampAnnee;
    case Control::ChampLibre:
        return ChampLibre;
    case Control::EditBox0:
        return EditBox[0];
    case Control::EditBox1:
        return EditBox[1];
    case Control::EditBox2:
        return EditBox[2];
    case Control::None:
        break;
    }
    return nullptr;
}

int EditForm::controlIndex(QWidget* widget) const {
    for (int i = 0; i < static_cast<int>(kTextControlCount); ++i) {
        if (widgetOf(static_cast<Control>(i)) == widget) {
            return i;
        }
    }
    return -1;
}

QWidget* EditForm::labelOf(QWidget* field) const {
    const std::array<std::pair<QWidget*, int>, 8> labels{{{ChampLatitude, 1},
                                                          {ChampLongitude, 2},
                                                          {ChampPeriode, 3},
                                                          {ChampCh1, 4},
                                                          {ChampCh2, 5},
                                                          {ChampLibre, 6},
                                                          {ChampAnnee, 7},
                                                          {ChampSex, 8}}};
    for (const auto& [widget, label] : labels) {
        if (widget == field) {
            return Label[static_cast<std::size_t>(label)];
        }
    }
    return nullptr;
}

void EditForm::SetHighlight(QWidget* label, bool on) {
    if (label == nullptr) {
        return;
    }
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, on ? kHighlightColour : QColor(Qt::black));
    label->setPalette(palette);
    QFont font = label->font();
    font.setUnderline(on);
    label->setFont(font);
}

void EditForm::Handle(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& error) {
        platform::ShowErrorOf(error);
    }
    ShowState();
    ApplyFocusRequest();
}

void EditForm::ShowState() {
    const EditorState& s = editor_.state();
    syncing_ = true;
    for (int i = 0; i < static_cast<int>(kTextControlCount); ++i) {
        const auto control = static_cast<Control>(i);
        const QString& text = s.text(control);
        if (control == Control::ChampLibre) {
            if (ChampLibre->toPlainText() != text) {
                ChampLibre->setPlainText(text);
            }
        } else if (control == Control::ChampAnnee) {
            if (ChampAnnee->displayText() != text) {
                ChampAnnee->setText(text);
            }
        } else if (auto* edit = static_cast<QLineEdit*>(widgetOf(control)); edit->text() != text) {
            edit->setText(text);
        }
    }
    std::array<BoxPlace, 3> wanted{};
    for (std::size_t i = 0; i < 3; ++i) {
        const InputBox& box = s.EditBox[i];
        const BoxLabel& label = s.LblEditBox[i];
        EditBox[i]->setVisible(box.visible);
        boxLimits_[i]->setLimit(box.maxLength);
        LblEditBox[i]->setText(label.caption);
        LblEditBox[i]->setVisible(label.visible);
        wanted[i] = {TwipsToPixels(box.left), TwipsToPixels(box.width),
                     label.visible ? LblEditBox[i]->sizeHint().width() : 0,
                     box.visible || label.visible};
    }
    // The hints show whole: a long one moves the boxes on its right and widens the frame.
    const std::array<BoxPlace, 3> placed = PlaceBoxes(wanted);
    int frameWidth = kInputFrameWidth;
    for (std::size_t i = 0; i < 3; ++i) {
        const BoxPlace& p = placed[i];
        EditBox[i]->setGeometry(p.left, kBoxTop, p.width, kBoxHeight);
        LblEditBox[i]->setGeometry(p.left, kBoxLabelTop, p.labelWidth, 18);
        if (p.shown) {
            frameWidth = std::max(frameWidth, p.left + p.labelWidth + kFrameMargin);
        }
    }
    if (FrameInput->width() != frameWidth) {
        FrameInput->setFixedWidth(frameWidth);
        FrameInputCaption->resize(frameWidth - 2 * kFrameMargin, 18);
        cmbSystem->resize(frameWidth - 2 * kFrameMargin, cmbSystem->height());
    }
    FrameInputCaption->setText(s.FrameInputCaption);
    SetHighlight(FrameInputCaption, s.FrameInputHighlighted);
    lblDatum->setText(s.lblDatum);
    lblDatum->setToolTip(s.lblDatumToolTip);
    cmdChangeDatum->setEnabled(s.cmdChangeDatumEnabled);
    if (s.cmbSystem >= 0 && cmbSystem->currentIndex() != s.cmbSystem) {
        cmbSystem->setCurrentIndex(s.cmbSystem);
    }
    LabelLibre->setText(s.LabelLibre);
    ValeurDMS->setText(s.ValeurDMS);
    ValeurUtmMetrique->setText(s.ValeurUtmMetrique);
    ValeurUtmAlpha->setText(s.ValeurUtmAlpha);
    ValeurLibre->setText(s.ValeurLibre);
    ValeurLibre->setVisible(s.ValeurLibreVisible);
    Label[4]->setText(s.Label4);
    Label[5]->setText(s.Label5);
    lblCpt->setText(s.lblCpt);

    const int rows = static_cast<int>(s.freeFieldLabels.size());
    if (Grid->rowCount() != rows) {
        Grid->setRowCount(rows);
    }
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < 2; ++c) {
            const QString& text = c == 0 ? s.freeFieldLabels[r] : s.freeFieldValues.value(r);
            QTableWidgetItem* item = Grid->item(r, c);
            if (item == nullptr) {
                item = new QTableWidgetItem;
                item->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
                if (c == 0) {
                    item->setFlags(Qt::ItemIsEnabled);
                    item->setBackground(palette().button());
                }
                Grid->setItem(r, c, item);
            }
            if (item->text() != text) {
                item->setText(text);
            }
        }
    }
    ButOk->setEnabled(s.ButOkEnabled);
    syncing_ = false;
}

void EditForm::ApplyFocusRequest() {
    EditorState& s = editor_.state();
    const Control target = s.focusRequest;
    s.focusRequest = Control::None;
    if (QWidget* widget = widgetOf(target); widget != nullptr && widget->isVisible()) {
        widget->setFocus(Qt::OtherFocusReason);
    }
}

void EditForm::RunLostFocus(QWidget* widget) {
    for (int i = 0; i < 3; ++i) {
        if (widget == EditBox[static_cast<std::size_t>(i)]) {
            editor_.EditBox_LostFocus(i);
            return;
        }
    }
    if (widget == ChampAnnee) {
        editor_.ChampAnnee_LostFocus();
    } else if (widget == ChampLongitude) {
        editor_.ChampLongitude_LostFocus();
    }
}

void EditForm::LeaveFocusedField() {
    CommitCellEdit();
    RunLostFocus(QApplication::focusWidget());
}

bool EditForm::eventFilter(QObject* watched, QEvent* event) {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr) {
        return QDialog::eventFilter(watched, event);
    }
    switch (event->type()) {
    case QEvent::FocusIn:
        if (widget == Grid) {
            if (txtEdit->isVisible()) {
                CommitCellEdit();
            } else if (Grid->rowCount() > 0) {
                // The label column cannot stay current.
                Grid->setCurrentCell(std::max(Grid->currentRow(), 0), 1);
            }
        } else if (controlIndex(widget) >= 0) {
            // The whole text is selected once the click that gave the focus is done.
            if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
                QTimer::singleShot(0, edit, &QLineEdit::selectAll);
            } else if (widget == ChampLibre) {
                QTimer::singleShot(0, ChampLibre, &QPlainTextEdit::selectAll);
            }
            SetHighlight(labelOf(widget), true);
            if (controlIndex(widget) >= static_cast<int>(Control::EditBox0)) {
                Handle([this] { editor_.EditBox_GotFocus(); });
            }
        }
        break;
    case QEvent::FocusOut: {
        // The focus going to another window (a message box, the chooser) does not leave a field.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) {
            break;
        }
        if (widget == txtEdit) {
            if (QApplication::focusWidget() != Grid) {
                CommitCellEdit();
            }
        } else if (controlIndex(widget) >= 0) {
            SetHighlight(labelOf(widget), false);
            Handle([this, widget] { RunLostFocus(widget); });
        }
        break;
    }
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (widget == txtEdit) {
            EditKeyCode(key->key());
            // Enter gives no character; the other keys type as usual.
            return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter ||
                   key->key() == Qt::Key_Escape || key->key() == Qt::Key_Up ||
                   key->key() == Qt::Key_Down;
        }
        if (widget == Grid && !txtEdit->isVisible()) {
            if (key->key() == Qt::Key_F2) {
                MSHFlexGridEdit(32);
                return true;
            }
            const QString text = key->text();
            if (!text.isEmpty() && key->key() != Qt::Key_Tab && key->key() != Qt::Key_Backtab &&
                key->key() != Qt::Key_Escape) {
                MSHFlexGridEdit(text.front().unicode());
                return true;
            }
        }
        break;
    }
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

void EditForm::MSHFlexGridEdit(int keyAscii) {
    const int row = Grid->currentRow();
    if (row < 0 || row >= Grid->rowCount()) {
        return;
    }
    Grid->setCurrentCell(row, 1);
    const QString cell = editor_.state().freeFieldValues.value(row);
    if (keyAscii == -1) {
        txtEdit->setText(cell);
        txtEdit->selectAll();
    } else if (keyAscii >= 0 && keyAscii <= 32) {
        txtEdit->setText(cell);
        txtEdit->end(false);
    } else {
        txtEdit->setText(QChar(keyAscii));
        txtEdit->end(false);
    }
    txtEdit->setGeometry(Grid->visualRect(Grid->model()->index(row, 1)));
    txtEdit->show();
    txtEdit->setFocus(Qt::OtherFocusReason);
}

void EditForm::CommitCellEdit() {
    if (!txtEdit->isVisible()) {
        return;
    }
    const int row = Grid->currentRow();
    EditorState& s = editor_.state();
    if (row >= 0 && row < s.freeFieldValues.size()) {
        s.freeFieldValues[row] = txtEdit->text();
    }
    txtEdit->hide();
    ShowState();
}

void EditForm::EditKeyCode(int key) {
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Grid->setFocus(Qt::OtherFocusReason);
        break;
    case Qt::Key_Escape:
        txtEdit->hide();
        Grid->setFocus(Qt::OtherFocusReason);
        break;
    case Qt::Key_Up:
    case Qt::Key_Down: {
        Grid->setFocus(Qt::OtherFocusReason);
        QCoreApplication::processEvents();
        const int row = Grid->currentRow();
        if (key == Qt::Key_Up && row > 0) {
            Grid->setCurrentCell(row - 1, 1);
        } else if (key == Qt::Key_Down && row < Grid->rowCount() - 1) {
            Grid->setCurrentCell(row + 1, 1);
        }
        break;
    }
    default:
        break;
    }
}

void EditForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (focusPlaced_) {
        return;
    }
    focusPlaced_ = true;
    // Once, after the window shows, the field of the main grid's current column.
    QTimer::singleShot(0, this, [this] {
        const Control target = editor_.OpeningFocus();
        ShowState();
        if (QWidget* widget = widgetOf(target); widget != nullptr && widget->isVisible()) {
            widget->setFocus(Qt::OtherFocusReason);
        }
    });
}

void EditForm::closeEvent(QCloseEvent* event) {
    // The close box closes without asking: unsaved changes are lost.
    closing_ = true;
    QDialog::closeEvent(event);
    closing_ = false;
}

void EditForm::reject() {
    if (closing_) {
        QDialog::reject();
        return;
    }
    ButEsc_Click();
}

void EditForm::done(int result) {
    WriteEditorGeometry({PixelsToTwips(height()), PixelsToTwips(y())});
    QDialog::done(result);
}

void EditForm::ButOk_Click() {
    Handle([this] {
        LeaveFocusedField();
        editor_.ButOk_Click();
    });
}

void EditForm::cmdNavig_Click(int index) {
    Handle([this, index] {
        LeaveFocusedField();
        editor_.cmdNavig_Click(index);
    });
}

void EditForm::ButEsc_Click() {
    bool close = false;
    Handle([this, &close] {
        LeaveFocusedField();
        close = editor_.ButEsc_Click();
    });
    if (close) {
        closing_ = true;
        QDialog::reject();
    }
}

void EditForm::ButNew_Click() {
    CommitCellEdit();
    Handle([this] { editor_.ButNew_Click(); });
}

void EditForm::ButDupl_Click() {
    Handle([this] {
        LeaveFocusedField();
        editor_.ButDupl_Click();
    });
}

void EditForm::cmdSearch_Click() {
    Handle([this] { editor_.cmdSearch_Click(); });
}

void EditForm::cmdChangeDatum_Click() {
    Handle([this] { editor_.cmdChangeDatum_Click(); });
}

void EditForm::cmbSystem_Click(int index) {
    Handle([this, index] { editor_.cmbSystem_Click(index); });
}

void ShowEditForm(EditorHost& host, QWidget* parent) {
    EditForm form(host, parent);
    // Once the editor shows, not before: the gazetteer's reading must not delay its opening.
    QTimer::singleShot(0, &form, [&host] {
        if (PlaceSearch* search = host.placeSearch()) {
            search->prepare();
        }
    });
    form.exec();
}

} // namespace editor
