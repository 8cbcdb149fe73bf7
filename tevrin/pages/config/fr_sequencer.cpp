#include "tevrin/pages/config/fr_sequencer.h"

#include "brannix/qcheckbox.h"
#include "brannix/qhelpcontrols.h"
#include "brannix/qimage.h"
#include "brannix/qlabel.h"
#include "brannix/qlabelededit.h"
#include "platform/messages.h"
#include "tevrin/pages/alarm_icons.h"
#include "tevrin/pages/page_host.h"
#include "tevrin/pages/widgets/bound_controls.h"
#include "tevrin/pages/widgets/tree_drag_routes.h"
#include "tevrin/rtdb/database.h"
#include "tevrin/rtdb/observer_components.h"
#include "tevrin/rtdb/sequencer.h"

#include "ui_fr_sequencer.h"

#include <QApplication>
#include <QButtonGroup>
#include <QHeaderView>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>
#include <cstring>

namespace {

// The manual sequences' request points, sequences 1 to 8.
constexpr TDbId kRunPoints[kSequencerManualSequences] = {1610, 1611, 1612, 1613, 1632, 1633, 1634, 1635};

QIcon TreeIcon(int image)
{
    QStyle* style = QApplication::style();
    switch (image) {
    case 0: return style->standardIcon(QStyle::SP_DirIcon);
    case 1: return style->standardIcon(QStyle::SP_FileIcon);
    case 2: return style->standardIcon(QStyle::SP_ArrowRight);
    default: return QIcon();
    }
}

}  // namespace

TfrSequencer::TfrSequencer(QWidget* owner) : TPageFrame(owner, 12, 0, 1), ui(std::make_unique<Ui::TfrSequencer>())
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("frSequencer"));

    inputs_ = new QButtonGroup(this);
    for (int i = 0; i < kDigitalInputs; ++i) inputs_->addButton(sel(i + 1), i);
    BuildManualGroups();

    ui->tlSequencer->setSelectionMode(QAbstractItemView::SingleSelection);
    ui->tlSequencer->installEventFilter(this);
    // The trees show their names whole ("Reference 1" and "Reference 2" must not both end in
    // "Refe..."): each is as wide as its widest name.
    for (QTreeWidget* tree : {static_cast<QTreeWidget*>(ui->treeRunType), static_cast<QTreeWidget*>(ui->tlSequencer)}) {
        tree->header()->setStretchLastSection(false);
        tree->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
        pagecontrols::KeepWideAsItsItems(tree);
    }
    // Every node of the run types may start a drag; the drag itself decides what it carries.
    auto* routes = new TreeDragRoutes(this);
    routes->AddSource(
        ui->treeRunType, [](QTreeWidgetItem*) { return true; }, [this](QTreeWidgetItem* n) { return StartDrag(n); },
        [this] { EndDrag(); });
    routes->AddTarget(
        ui->tlSequencer, [this] { return dragging_; }, [this](QTreeWidgetItem* n) { return CanDrop(n); },
        [this](QTreeWidgetItem* n) { return Drop(n); });

    observer_ = new TQStructOberver(this);
    connect(observer_, &TQStructOberver::OnSChanged, this, [this](int, void* block) {
        if (!block) return;
        SequencerBytes bytes;
        std::memcpy(bytes.data(), block, bytes.size());
        LoadFromRecord(bytes);
    });

    connect(ui->SequencerState, &TQLabeledEdit::OnDBPointValueChanged, this,
            [this](const QString& value, bool& DoDefault) { ShowState(value, DoDefault); });
    connect(ui->labSequencerState, &QLineEdit::textChanged, this, [this](const QString& text) {
        bool ok = false;
        const int n = text.trimmed().toInt(&ok);
        if (ok) state_ = n;
    });
    connect(ui->lblSePointer, &QLineEdit::textChanged, this, [this](const QString& text) {
        bool ok = false;
        const int n = text.trimmed().toInt(&ok);
        if (ok) pointer_ = n;
    });
    connect(ui->MSOn, &TQImage::OnDBPointValueChanged, this, [this](const QString&) {
        alarmicons::SetIcon(ui->MSOn, alarmicons::List::Alarms, ui->MSOn->State() == TQImageBase::StateOn ? 2 : 3);
    });
    WatchStreamCount(ui->streams, StreamCaptionRule::Streams);

    // The lists start empty under their headers.
    ClearLists();
}

TfrSequencer::~TfrSequencer()
{
    if (DataBase::Exists())
        if (Sequencer* s = DataBase::Instance()->AsSequencer()) s->Detach(observer_);
    FreeTreeData();
}

void TfrSequencer::BuildManualGroups()
{
    auto* grid = static_cast<QGridLayout*>(ui->boxManualSequences->layout());
    for (int n = 1; n <= kManualSequences; ++n) {
        ManualGroup& g = manual_[static_cast<size_t>(n - 1)];
        g.box = new QGroupBox(QStringLiteral("Manual Sequencer #%1").arg(n), ui->boxManualSequences);
        g.box->setObjectName(QStringLiteral("grpManual%1").arg(n));
        auto* column = new QVBoxLayout(g.box);
        auto* boxes = new QHBoxLayout;
        g.enable = new QCheckBox(QStringLiteral("Enable"), g.box);
        g.enable->setObjectName(QStringLiteral("MSEnable%1").arg(n));
        g.loop = new QCheckBox(QStringLiteral("Loop Enable"), g.box);
        g.loop->setObjectName(QStringLiteral("MSLoopEnable%1").arg(n));
        g.run = new TQCheckBox(g.box);
        g.run->setText(QStringLiteral("Run "));
        g.run->setObjectName(QStringLiteral("chkRun%1").arg(n));
        g.run->setTrueValue(QStringLiteral("True"));
        g.run->setDbId(kRunPoints[n - 1]);
        g.run->setUseDatabase(true);
        boxes->addWidget(g.enable);
        boxes->addWidget(g.loop);
        boxes->addWidget(g.run);
        column->addLayout(boxes);
        auto* radios = new QHBoxLayout;
        g.inputs = new QButtonGroup(g.box);
        for (int i = 1; i <= kDigitalInputs; ++i) {
            auto* r = new QRadioButton(QString::number(i), g.box);
            r->setObjectName(QStringLiteral("sel%1%2").arg(i).arg(n));
            g.sel[static_cast<size_t>(i - 1)] = r;
            g.inputs->addButton(r, i - 1);
            radios->addWidget(r);
        }
        column->addLayout(radios);
        // One to a row: beside the trees at their full width, two would not fit the window's
        // designed width.
        grid->addWidget(g.box, n - 1, 0);
        connect(g.loop, &QCheckBox::clicked, this, [this, n] { LoopClicked(n); });
    }
}

void TfrSequencer::EnterPage()
{
    TPageFrame::EnterPage();
    RebuildRunTypes();
}

// --- trees ---------------------------------------------------------------------------------------

QString TfrSequencer::RunTypeName(int run)
{
    switch (run) {
    case 0: return QStringLiteral("Sample");
    case 2: return QStringLiteral("Reference 1");
    case 3: return QStringLiteral("Reference 2");
    case 4: return QStringLiteral("Zero");
    case 5: return QStringLiteral("Calibrate");
    default: return QString();
    }
}

void TfrSequencer::SetImage(QTreeWidgetItem* node, int image)
{
    node->setData(0, kImageRole, image);
    node->setIcon(0, TreeIcon(image));
}

void TfrSequencer::RebuildRunTypes()
{
    FreeTreeData();
    QTreeWidget* tree = ui->treeRunType;
    auto* root = new QTreeWidgetItem(tree, {QStringLiteral("Available Run Types")});
    root->setData(0, kStreamRole, 0);
    root->setData(0, kRunRole, -1);
    SetImage(root, 2);
    auto* stream = new QTreeWidgetItem(root, {QStringLiteral("Stream")});
    stream->setData(0, kStreamRole, 0);
    stream->setData(0, kRunRole, -1);
    SetImage(stream, 0);
    for (int run : {0, 2, 3, 4, 5}) {
        auto* leaf = new QTreeWidgetItem(stream, {RunTypeName(run)});
        leaf->setData(0, kStreamRole, 1);
        leaf->setData(0, kRunRole, run);
        SetImage(leaf, 1);
    }
    tree->expandAll();
}

void TfrSequencer::FreeTreeData()
{
    if (ui && ui->treeRunType) ui->treeRunType->clear();
}

void TfrSequencer::ClearLists()
{
    TQTreeList* list = ui->tlSequencer;
    list->clear();
    for (int l = 0; l < kLists; ++l) {
        const QString caption = l == 0 ? QStringLiteral("Automatic Entries") : QStringLiteral("Manual Entries #%1").arg(l);
        auto* header = new QTreeWidgetItem(list, {caption});
        header->setData(0, kListRole, l);
        header->setFlags(header->flags() & ~Qt::ItemIsDragEnabled);
    }
}

QTreeWidgetItem* TfrSequencer::ListHeader(int list) const
{
    if (list < 0 || list >= ui->tlSequencer->topLevelItemCount()) return nullptr;
    return ui->tlSequencer->topLevelItem(list);
}

std::vector<std::pair<int, int>> TfrSequencer::Entries(int list) const
{
    std::vector<std::pair<int, int>> entries;
    if (const QTreeWidgetItem* header = ListHeader(list))
        for (int i = 0; i < header->childCount(); ++i) {
            const QTreeWidgetItem* e = header->child(i);
            entries.emplace_back(e->data(0, kStreamRole).toInt(), e->data(0, kRunRole).toInt());
        }
    return entries;
}

QTreeWidgetItem* TfrSequencer::AddLoadedEntry(int list, int position, int stream, int run)
{
    // The list the analyzer is running: the automatic one in state 1, manual list n in state
    // n + 2; there the entry at the remembered pointer (counted from 1) is the current one.
    const bool active = (state_ == 1 && list == 0) || (state_ >= 3 && state_ <= 10 && list == state_ - 2);
    auto* entry = new QTreeWidgetItem(ListHeader(list), {RunTypeName(run)});
    entry->setData(0, kStreamRole, stream + 1);
    entry->setData(0, kRunRole, run);
    SetImage(entry, active && position == pointer_ ? 2 : 1);
    return entry;
}

// --- the block -----------------------------------------------------------------------------------

namespace {
// The digital input byte a group was loaded with, kept for a value no radio button shows.
constexpr const char* kLoadedInput = "loadedInput";
}  // namespace

int TfrSequencer::CheckedIndex(const QButtonGroup* group)
{
    const int id = group->checkedId();
    if (id >= 0) return id;
    // No button checked: an input the buttons cannot show goes back as it came.
    return group->property(kLoadedInput).toInt();
}

void TfrSequencer::CheckIndex(QButtonGroup* group, int index)
{
    group->setProperty(kLoadedInput, index);
    if (QAbstractButton* b = group->button(index)) {
        b->setChecked(true);
        return;
    }
    group->setExclusive(false);
    for (QAbstractButton* button : group->buttons()) button->setChecked(false);
    group->setExclusive(true);
}

void TfrSequencer::LoadFromRecord(const SequencerBytes& bytes)
{
    const SequencerBlock b = SequencerBlockOf(bytes.data());
    // Only the lists follow the block: the run types are fixed and built on entry.
    ClearLists();

    ui->chkEnableSequencer->setChecked(b.Enable != 0);
    if (b.Enable == 0) {
        pointer_ = -1;
        state_ = 0;
    }

    const auto addSlots = [this](int list, const auto& entries, int depth) {
        // A depth beyond the list's capacity is bounded before any slot is read.
        const int n = std::min<int>(depth, static_cast<int>(std::size(entries)));
        int position = 0;
        for (int i = 0; i < n; ++i) {
            const int s = entries[i].Stream;
            const int r = entries[i].Run;
            if (s < 4 && r < 6) AddLoadedEntry(list, ++position, s, r);
        }
    };
    addSlots(0, b.Automatic, b.Depth);

    ui->chkManualModeEnable->setChecked(b.ManualEnable != 0);
    CheckIndex(inputs_, b.ManualDigitalInput);

    for (int n = 1; n <= kSequencerManualSequences; ++n) {
        const ManualSequence& m = b.Manual[n - 1];
        ManualGroup& g = manual_[static_cast<size_t>(n - 1)];
        g.enable->setChecked(m.Enable != 0);
        g.loop->setChecked(m.Loop != 0);
        CheckIndex(g.inputs, m.DigitalInput);
        addSlots(n, m.Entries, m.Depth);
    }
    ui->tlSequencer->expandAll();
}

SequencerBytes TfrSequencer::PackRecord() const
{
    SequencerBlock b{};
    b.Enable = ui->chkEnableSequencer->isChecked() ? 1 : 0;
    b.ManualEnable = ui->chkManualModeEnable->isChecked() ? 1 : 0;
    b.ManualDigitalInput = static_cast<uint8_t>(CheckedIndex(inputs_));
    const auto packSlots = [this](int list, auto& places) {
        const std::vector<std::pair<int, int>> entries = Entries(list);
        const int n = std::min(static_cast<int>(entries.size()), static_cast<int>(std::size(places)));
        for (int i = 0; i < n; ++i) {
            places[i].Stream = static_cast<uint8_t>(entries[static_cast<size_t>(i)].first - 1);
            places[i].Run = static_cast<uint8_t>(entries[static_cast<size_t>(i)].second);
        }
        return static_cast<uint8_t>(n);
    };
    b.Depth = packSlots(0, b.Automatic);
    for (int n = 1; n <= kSequencerManualSequences; ++n) {
        ManualSequence& m = b.Manual[n - 1];
        const ManualGroup& g = manual_[static_cast<size_t>(n - 1)];
        m.Enable = g.enable->isChecked() ? 1 : 0;
        m.Loop = g.loop->isChecked() ? 1 : 0;
        m.DigitalInput = static_cast<uint8_t>(CheckedIndex(g.inputs));
        m.Depth = packSlots(n, m.Entries);
    }
    SequencerBytes bytes{};
    StoreSequencerBlock(b, bytes.data());
    return bytes;
}

void TfrSequencer::CommitToDatabase()
{
    Sequencer* sequencer = DataBase::Instance()->AsSequencer();
    if (!sequencer) return;
    const SequencerBytes packed = PackRecord();
    uint8_t block[kSequencerBlockSize];
    std::memcpy(block, packed.data(), sizeof block);
    sequencer->SetBlock(block);
}

// --- broadcasts ----------------------------------------------------------------------------------

void TfrSequencer::OnRegisterDatabase(TMessage& m)
{
    if (Sequencer* s = DataBase::Instance()->AsSequencer()) {
        s->Detach(observer_);
        s->Attach(observer_);
    }
    m.Result = 0;
}

void TfrSequencer::OnBeforePost(TMessage& m)
{
    if (ShownOnce()) CommitToDatabase();
    m.Result = 0;
}

void TfrSequencer::OnFreePageData(TMessage& m)
{
    FreeTreeData();
    m.Result = 0;
}

// --- handlers ------------------------------------------------------------------------------------

void TfrSequencer::ShowState(const QString& value, bool& DoDefault)
{
    DoDefault = false;
    bool ok = false;
    const int state = value.trimmed().toInt(&ok);
    if (!ok) return;
    const QString text = SequencerStateText(state);
    if (!text.isEmpty()) ui->SequencerState->setText(text);
}

void TfrSequencer::LoopClicked(int sequence)
{
    // At most one manual sequence loops.
    if (!manual_[static_cast<size_t>(sequence - 1)].loop->isChecked()) return;
    for (int n = 1; n <= kManualSequences; ++n)
        if (n != sequence) manual_[static_cast<size_t>(n - 1)].loop->setChecked(false);
}

bool TfrSequencer::LoggedOnAndLocked() const
{
    const IPageHost* host = PageHost();
    return locked_ && host && host->LoggedOn();
}

bool TfrSequencer::StartDrag(QTreeWidgetItem* node)
{
    EndDrag();
    if (LoggedOnAndLocked() || !node || node->treeWidget() != ui->treeRunType) return false;
    // The node must carry a run-type value or hang below one that does.
    const QTreeWidgetItem* carrier = node;
    while (carrier && !carrier->data(0, kRunRole).isValid()) carrier = carrier->parent();
    if (!carrier) return false;
    dragStream_ = node->data(0, kStreamRole).toInt();
    dragRun_ = node->data(0, kRunRole).toInt();
    droppable_ = node->childCount() == 0;
    dragging_ = true;
    return true;
}

void TfrSequencer::EndDrag()
{
    dragging_ = false;
    droppable_ = false;
    dragStream_ = 0;
    dragRun_ = -1;
}

bool TfrSequencer::CanDrop(const QTreeWidgetItem* target) const
{
    if (!dragging_ || !droppable_ || LoggedOnAndLocked()) return false;
    if (!target || target->treeWidget() != ui->tlSequencer || target->parent()) return false;
    bool ok = false;
    const int streams = QString::fromStdString(DataBase::Instance()->GetPointText(DataBase::kStreamsDbId)).trimmed().toInt(&ok);
    if (!ok || dragStream_ > streams + 1) return false;
    const int list = target->data(0, kListRole).toInt();
    return target->childCount() < ListCapacity(list);
}

bool TfrSequencer::Drop(QTreeWidgetItem* target)
{
    if (!CanDrop(target)) {
        EndDrag();
        return false;
    }
    auto* entry = new QTreeWidgetItem(target, {QStringLiteral("Stream %1:%2").arg(dragStream_).arg(RunTypeName(dragRun_))});
    entry->setData(0, kStreamRole, dragStream_);
    entry->setData(0, kRunRole, dragRun_);
    SetImage(entry, 1);
    target->setExpanded(true);
    EndDrag();
    // Offline the block is stored at once, so that a configuration file saved now holds the
    // edit; online it goes at the next write.
    const IPageHost* host = PageHost();
    if (!host || !host->LoggedOn()) CommitToDatabase();
    return true;
}

bool TfrSequencer::ListKeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    const bool alt = modifiers & Qt::AltModifier;
    const bool ours = key == Qt::Key_Delete || (alt && (key == Qt::Key_Up || key == Qt::Key_Down));
    if (!ours) return false;
    if (LoggedOnAndLocked()) return true;
    QTreeWidgetItem* entry = ui->tlSequencer->currentItem();
    if (!entry || !entry->parent()) return true;   // nothing selected, or a list header
    QTreeWidgetItem* header = entry->parent();
    const int index = header->indexOfChild(entry);
    if (key == Qt::Key_Delete) {
        delete header->takeChild(index);
        return true;
    }
    const int to = key == Qt::Key_Up ? index - 1 : index + 1;
    if (to < 0 || to >= header->childCount()) return true;
    header->takeChild(index);
    header->insertChild(to, entry);
    ui->tlSequencer->setCurrentItem(entry);
    return true;
}

bool TfrSequencer::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == ui->tlSequencer && e->type() == QEvent::KeyPress) {
        auto* ke = static_cast<QKeyEvent*>(e);
        return ListKeyDown(ke->key(), ke->modifiers());
    }
    return TPageFrame::eventFilter(watched, e);
}

// --- controls ------------------------------------------------------------------------------------

QTreeWidget* TfrSequencer::treeRunType() const { return ui->treeRunType; }
TQTreeList* TfrSequencer::tlSequencer() const { return ui->tlSequencer; }
QCheckBox* TfrSequencer::chkEnableSequencer() const { return ui->chkEnableSequencer; }
QCheckBox* TfrSequencer::chkManualModeEnable() const { return ui->chkManualModeEnable; }
TQLabeledEdit* TfrSequencer::SequencerState() const { return ui->SequencerState; }
TQImage* TfrSequencer::MSOn() const { return ui->MSOn; }

QRadioButton* TfrSequencer::sel(int input) const
{
    QRadioButton* const all[] = {ui->sel1, ui->sel2, ui->sel3, ui->sel4, ui->sel5, ui->sel6, ui->sel7, ui->sel8};
    return input >= 1 && input <= kDigitalInputs ? all[input - 1] : nullptr;
}

QCheckBox* TfrSequencer::MSEnable(int sequence) const
{
    return sequence >= 1 && sequence <= kManualSequences ? manual_[static_cast<size_t>(sequence - 1)].enable : nullptr;
}

QCheckBox* TfrSequencer::MSLoopEnable(int sequence) const
{
    return sequence >= 1 && sequence <= kManualSequences ? manual_[static_cast<size_t>(sequence - 1)].loop : nullptr;
}

QRadioButton* TfrSequencer::ManualSel(int input, int sequence) const
{
    if (sequence < 1 || sequence > kManualSequences || input < 1 || input > kDigitalInputs) return nullptr;
    return manual_[static_cast<size_t>(sequence - 1)].sel[static_cast<size_t>(input - 1)];
}

TQCheckBox* TfrSequencer::chkRun(int sequence) const
{
    return sequence >= 1 && sequence <= kManualSequences ? manual_[static_cast<size_t>(sequence - 1)].run : nullptr;
}
