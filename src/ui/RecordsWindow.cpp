#include "ui/RecordsWindow.h"

#include "core/DtuError.h"
#include "core/TextFile.h"
#include "ops/Outcomes.h"
#include "actions/EntryExport.h"
#include "actions/SnapshotCompare.h"
#include "fleet/FleetWording.h"
#include "store/RecordStore.h"
#include "ui/Dialogs.h"
#include "ui/WidgetHelpers.h"
#include "ui/WindowRecorder.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

using WidgetHelpers::Button;
using WidgetHelpers::Named;

namespace {

// The newest entries of one device the timeline shows.
constexpr int kTimelineLimit = 1000;
const QColor kFailedColour(200, 0, 0);
const QColor kDiffersBackground(255, 228, 196);

// The action names as the window's menus and buttons call them.
const char *const kActionNames[][2] = {
    {"read", QT_TRANSLATE_NOOP("RecordsWindow", "读取")},
    {"write", QT_TRANSLATE_NOOP("RecordsWindow", "设置")},
    {"batch", QT_TRANSLATE_NOOP("RecordsWindow", "批量写参数")},
    {"save", QT_TRANSLATE_NOOP("RecordsWindow", "保存参数文件")},
    {"verify", QT_TRANSLATE_NOOP("RecordsWindow", "核对")},
    {"provision", QT_TRANSLATE_NOOP("RecordsWindow", "多台设备配置")},
    {"restore", QT_TRANSLATE_NOOP("RecordsWindow", "恢复出厂默认设置")},
    {"reset", QT_TRANSLATE_NOOP("RecordsWindow", "复位设备")},
    {"rollback", QT_TRANSLATE_NOOP("RecordsWindow", "恢复到快照")},
    {"identify", QT_TRANSLATE_NOOP("RecordsWindow", "查询DTU版本/IMEI")},
    {"audit", QT_TRANSLATE_NOOP("RecordsWindow", "多台设备核对")},
};

QString ActionName(const QString &action)
{
    for (const auto &pair : kActionNames)
        if (action == QLatin1String(pair[0]))
            return QCoreApplication::translate("RecordsWindow", pair[1]);
    return action;
}

QTableWidget *Table(const char *name, const QString &accessibleName, const QStringList &headers)
{
    auto *table = Named(new QTableWidget(0, int(headers.size())), name, accessibleName);
    table->setHorizontalHeaderLabels(headers);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(true);
    // A time or a value on one line; the columns are fitted to what they show.
    table->setWordWrap(false);
    return table;
}

void Fill(QTableWidget *table, int row, const QStringList &cells, const QVariant &key = {})
{
    for (int column = 0; column < cells.size(); ++column) {
        auto *item = new QTableWidgetItem(cells[column]);
        if (column == 0 && key.isValid())
            item->setData(Qt::UserRole, key);
        table->setItem(row, column, item);
    }
}

QString Dash(const QString &text)
{
    return text.isEmpty() ? QStringLiteral("-") : text;
}

// When the device was last audited and whether it held what it should.
QString LastAudit(const DeviceSummary &d)
{
    if (!d.lastAudit.isValid())
        return QStringLiteral("-");
    const QString when = d.lastAudit.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    return d.lastAuditOutcome == OutcomeName(OutcomeId::Ok) ? RecordsWindow::tr("%1 相符").arg(when)
         : d.lastAuditOutcome == OutcomeName(OutcomeId::Differs) ? RecordsWindow::tr("%1 不符").arg(when)
                                                                 : RecordsWindow::tr("%1 %2").arg(when, OutcomeWord(d.lastAuditOutcome));
}

} // namespace

RecordsWindow::RecordsWindow(Dialogs &dialogs, WindowRecorder &records, QWidget *parent)
    : QWidget(parent, Qt::Window), dialogs_(dialogs), records_(records)
{
    setObjectName(QStringLiteral("RecordsWindow"));
    setWindowTitle(tr("设备档案"));
    BuildWidgets();
    resize(960, 640);
}

RecordsWindow::~RecordsWindow() = default;

void RecordsWindow::BuildWidgets()
{
    filter_ = Named(new QLineEdit, "RecordsFilter", tr("筛选设备"));
    filter_->setPlaceholderText(tr("设备号、IMEI、固件或端口"));
    connect(filter_, &QLineEdit::textChanged, this, [this] { ShowDevices(); });
    devices_ = Table("RecordsDevices", tr("设备"),
                     {tr("设备"), tr("IMEI"), tr("固件"), tr("最后连接"), tr("最后操作"), tr("结果"), tr("条目"),
                      tr("最后核对")});
    connect(devices_, &QTableWidget::itemSelectionChanged, this, [this] { ShowTimeline(); });

    timeline_ = Table("RecordsTimeline", tr("操作记录"),
                      {tr("编号"), tr("时间"), tr("操作"), tr("结果"), tr("端口"), tr("操作员"), tr("程序")});
    // Two entries picked are compared.
    timeline_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    connect(timeline_, &QTableWidget::itemSelectionChanged, this, [this] { ShowEntry(); });

    rows_ = Table("RecordsRows", tr("参数行"), {tr("参数号"), tr("参数"), tr("之前"), tr("之后"), tr("结果")});
    compare_ = Table("RecordsCompareTable", tr("快照比较"), {tr("参数号"), tr("参数"), tr("快照一"), tr("快照二")});
    tabs_ = Named(new QTabWidget, "RecordsTabs");
    tabs_->addTab(rows_, tr("参数行"));
    tabs_->addTab(compare_, tr("快照比较"));
    runRollback_ = new RecordsRunRollback;
    tabs_->addTab(runRollback_, tr("整批恢复"));
    connect(runRollback_, &RecordsRunRollback::ended, this, [this] {
        ShowDevices();
        // The results stay in view over the entry picked again.
        tabs_->setCurrentWidget(runRollback_);
    });

    auto *refresh = Button("RecordsRefresh", tr("刷新"));
    connect(refresh, &QPushButton::clicked, this, &RecordsWindow::Refresh);
    auto *compare = Button("RecordsCompare", tr("比较两个快照"));
    connect(compare, &QPushButton::clicked, this, &RecordsWindow::Compare);
    auto *exportButton = Button("RecordsExport", tr("导出..."));
    connect(exportButton, &QPushButton::clicked, this, &RecordsWindow::Export);
    rollbackButton_ = Button("RecordsRollback", tr("恢复到此快照"));
    rollbackButton_->setToolTip(tr("把连接着的设备恢复到所选快照的参数值"));
    connect(rollbackButton_, &QPushButton::clicked, this, &RecordsWindow::Rollback);
    rollbackRunButton_ = Button("RecordsRollbackRun", tr("整批恢复此次运行"));
    rollbackRunButton_->setToolTip(tr("把所选记录所属批量运行改过的每台设备恢复到运行前的快照"));
    rollbackRunButton_->setEnabled(false);
    connect(rollbackRunButton_, &QPushButton::clicked, this, &RecordsWindow::RollbackRun);
    status_ = Named(new QLabel, "RecordsStatus");

    auto *left = new QWidget;
    auto *leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->addWidget(filter_);
    leftLayout->addWidget(devices_, 1);
    auto *right = new QSplitter(Qt::Vertical);
    right->addWidget(timeline_);
    right->addWidget(tabs_);
    auto *split = Named(new QSplitter(Qt::Horizontal), "RecordsSplitter");
    split->addWidget(left);
    split->addWidget(right);
    split->setStretchFactor(1, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(refresh);
    buttons->addWidget(compare);
    buttons->addWidget(exportButton);
    buttons->addWidget(rollbackButton_);
    buttons->addWidget(rollbackRunButton_);
    buttons->addStretch();
    buttons->addWidget(status_);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(split, 1);
    layout->addLayout(buttons);
}

RecordStore *RecordsWindow::Store()
{
    const RecordLocation location = records_.Location();
    if (store_ && store_->IsOpen() && location.Shown() == storeLocation_.Shown())
        return store_.get();
    store_.reset();
    // Reading makes no store: none yet is no records yet.
    if (location.kind == RecordLocation::Kind::File && !QFileInfo::exists(location.path)) {
        status_->setText(tr("尚无设备档案：%1").arg(location.path));
        return nullptr;
    }
    auto store = std::make_unique<RecordStore>();
    if (const StoreError error = store->Open(location); !error.IsNone()) {
        status_->setText(tr("设备档案无法打开：%1").arg(error.message));
        return nullptr;
    }
    store_ = std::move(store);
    storeLocation_ = location;
    return store_.get();
}

void RecordsWindow::Refresh()
{
    status_->setText(QString());
    ShowDevices();
}

void RecordsWindow::ShowDevices()
{
    const QString picked = devices_->currentRow() >= 0 && devices_->item(devices_->currentRow(), 0)
                               ? devices_->item(devices_->currentRow(), 0)->data(Qt::UserRole).toString()
                               : QString();
    devices_->setRowCount(0);
    RecordStore *store = Store();
    if (!store) {
        ShowTimeline();
        return;
    }
    const auto found = store->Devices(filter_->text().trimmed());
    if (!found.Ok()) {
        status_->setText(tr("设备档案无法读取：%1").arg(found.error.message));
        ShowTimeline();
        return;
    }
    devices_->setRowCount(int(found.value.size()));
    int again = -1;
    for (int i = 0; i < found.value.size(); ++i) {
        const DeviceSummary &d = found.value[i];
        Fill(devices_, i,
             {d.key, Dash(d.identity.imei), Dash(d.identity.firmware),
              d.lastSeen.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), ActionName(d.lastAction),
              OutcomeWord(d.lastOutcome), QString::number(d.entries), LastAudit(d)},
             d.key);
        if (d.key == picked)
            again = i;
    }
    devices_->resizeColumnsToContents();
    if (again >= 0)
        devices_->selectRow(again);
    else if (!found.value.isEmpty())
        devices_->selectRow(0);
    else
        ShowTimeline();
}

void RecordsWindow::ShowTimeline()
{
    timeline_->setRowCount(0);
    const int row = devices_->currentRow();
    RecordStore *store = store_.get();
    if (row < 0 || !devices_->item(row, 0) || !store || devices_->selectedItems().isEmpty()) {
        ShowEntry();
        return;
    }
    const QString key = devices_->item(row, 0)->data(Qt::UserRole).toString();
    const auto found = store->Entries(key, kTimelineLimit, false);
    if (!found.Ok()) {
        status_->setText(tr("设备档案无法读取：%1").arg(found.error.message));
        ShowEntry();
        return;
    }
    timeline_->setRowCount(int(found.value.size()));
    for (int i = 0; i < found.value.size(); ++i) {
        const RecordEntry &e = found.value[i];
        Fill(timeline_, i,
             {QString::number(e.id), e.time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
              ActionName(e.action) + (e.restores > 0 ? QStringLiteral(" #%1").arg(e.restores) : QString()),
              OutcomeWord(e.outcome), e.target, e.operatorName, e.program},
             e.id);
        if (e.outcome != ResultId(TransactionResult::Accepted))
            timeline_->item(i, 3)->setForeground(kFailedColour);
    }
    timeline_->resizeColumnsToContents();
    if (!found.value.isEmpty())
        timeline_->selectRow(0);
    else
        ShowEntry();
}

QList<qint64> RecordsWindow::PickedIds() const
{
    QList<qint64> ids;
    for (const QModelIndex &index : timeline_->selectionModel()->selectedRows())
        ids << timeline_->item(index.row(), 0)->data(Qt::UserRole).toLongLong();
    std::sort(ids.begin(), ids.end());
    return ids;
}

std::optional<RecordEntry> RecordsWindow::Entry(qint64 id)
{
    const auto found = store_->Entry(id);
    if (!found.Ok() || !found.value)
        status_->setText(found.Ok() ? tr("没有第 %1 条记录").arg(id)
                                    : tr("设备档案无法读取：%1").arg(found.error.message));
    return found.value;
}

void RecordsWindow::ShowEntry()
{
    rows_->setRowCount(0);
    picked_.reset();
    rollbackRunButton_->setEnabled(false);
    const QList<qint64> ids = PickedIds();
    rollbackButton_->setEnabled(ids.size() == 1);
    if (ids.size() != 1 || !store_)
        return;
    picked_ = Entry(ids.front());
    if (!picked_)
        return;
    const RecordEntry &e = *picked_;
    rollbackRunButton_->setEnabled(!e.fleetRun.isEmpty() && !runRollback_->Running());
    rows_->setRowCount(int(e.rows.size()));
    for (int i = 0; i < e.rows.size(); ++i) {
        const RecordRow &row = e.rows[i];
        Fill(rows_, i,
             {row.number, row.name, EntryExport::Shown(row.before), EntryExport::Shown(row.after), OutcomeWord(row.result)});
        if (EntryExport::RowFailed(row))
            for (int column = 0; column < rows_->columnCount(); ++column)
                rows_->item(i, column)->setForeground(kFailedColour);
    }
    rows_->resizeColumnsToContents();
    tabs_->setCurrentWidget(rows_);
}

void RecordsWindow::Compare()
{
    const QList<qint64> ids = PickedIds();
    if (ids.size() != 2 || !store_) {
        dialogs_.Message(tr("请在操作记录中选中两条记录（按住 Ctrl 点选）。"), windowTitle());
        return;
    }
    RecordEntry entries[2];
    for (int i = 0; i < 2; ++i) {
        const std::optional<RecordEntry> found = Entry(ids[i]);
        if (!found)
            return;
        entries[i] = *found;
    }
    // The older one first: what changed since it.
    const QList<SnapshotCompare::Pair> pairs = SnapshotCompare::SideBySide(entries[0], entries[1]);
    const TableCompare::Outcome outcome = SnapshotCompare::Compare(entries[0], entries[1]);
    compare_->setHorizontalHeaderLabels(
        {tr("参数号"), tr("参数"), tr("第 %1 条").arg(ids[0]), tr("第 %1 条").arg(ids[1])});
    compare_->setRowCount(int(pairs.size()));
    for (int i = 0; i < pairs.size(); ++i) {
        const SnapshotCompare::Pair &p = pairs[i];
        Fill(compare_, i, {p.number, p.name, EntryExport::Shown(p.first), EntryExport::Shown(p.second)});
        if (p.differs)
            for (int column = 0; column < compare_->columnCount(); ++column)
                compare_->item(i, column)->setBackground(kDiffersBackground);
    }
    compare_->resizeColumnsToContents();
    status_->setText(tr("%1 行不同，比较了 %2 行").arg(outcome.differences.size()).arg(outcome.compared));
    tabs_->setCurrentWidget(compare_);
}

QList<RecordEntry> RecordsWindow::ShownEntries()
{
    QList<RecordEntry> entries;
    if (!store_)
        return entries;
    for (int i = 0; i < timeline_->rowCount(); ++i) {
        const auto found = store_->Entry(timeline_->item(i, 0)->data(Qt::UserRole).toLongLong());
        if (found.Ok() && found.value)
            entries << *found.value;
    }
    return entries;
}

void RecordsWindow::Export()
{
    const QList<RecordEntry> entries = ShownEntries();
    if (entries.isEmpty()) {
        dialogs_.Message(tr("没有可以导出的记录。"), windowTitle());
        return;
    }
    const QString path = dialogs_.SaveFile(QStringLiteral("records.csv"), QStringLiteral(".csv"));
    if (path.isEmpty())
        return;
    const bool json = QFileInfo(path).suffix().compare(QLatin1String("json"), Qt::CaseInsensitive) == 0;
    try {
        TextFile::WriteAtomically(path, json ? EntryExport::Json(entries) : EntryExport::Csv(entries));
        status_->setText(tr("已导出 %1 条记录到 %2").arg(entries.size()).arg(path));
    } catch (const DtuError &error) {
        dialogs_.Message(tr("记录无法导出：%1").arg(error.text()), windowTitle());
    }
}

void RecordsWindow::Rollback()
{
    if (picked_ && rollback_)
        rollback_(*picked_);
}

void RecordsWindow::RollbackRun()
{
    if (!picked_ || picked_->fleetRun.isEmpty() || runRollback_->Running() || !runSettings_)
        return;
    FleetRollback::Settings settings;
    QString why;
    if (!runSettings_(&settings, &why)) {
        dialogs_.Message(why, windowTitle());
        return;
    }
    if (!dialogs_.Question(tr("把批量运行 %1 改过的每台设备恢复到运行前的快照？").arg(picked_->fleetRun), windowTitle()))
        return;
    rollbackRunButton_->setEnabled(false);
    tabs_->setCurrentWidget(runRollback_);
    runRollback_->Start(picked_->fleetRun, settings);
}

RecordsRunRollback::RecordsRunRollback(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("RecordsRunRollback"));
    devices_ = Table("RecordsRunResults", tr("整批恢复"), {tr("目标"), tr("结果"), tr("记录")});
    stop_ = Button("RecordsRollbackStop", tr("停止"));
    stop_->setEnabled(false);
    connect(stop_, &QPushButton::clicked, this, [this] {
        rollback_.Stop();
        status_->setText(tr("正在停止：当前设备在下一行之前结束，其余设备不再开始"));
    });
    status_ = Named(new QLabel, "RecordsRunStatus");
    status_->setWordWrap(true);

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(status_, 1);
    bottom->addWidget(stop_);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(devices_, 1);
    layout->addLayout(bottom);

    connect(&rollback_, &FleetRollback::deviceStarted, this, &RecordsRunRollback::OnStarted);
    connect(&rollback_, &FleetRollback::deviceFinished, this, &RecordsRunRollback::OnFinished);
    connect(&rollback_, &FleetRollback::finished, this, &RecordsRunRollback::OnEnded);
}

void RecordsRunRollback::Start(const QString &run, const FleetRollback::Settings &settings)
{
    if (rollback_.Running())
        return;
    run_ = run;
    devices_->setRowCount(0);
    status_->setText(tr("正在恢复批量运行 %1……").arg(run));
    stop_->setEnabled(true);
    rollback_.Start(run, settings);
}

void RecordsRunRollback::OnStarted(int index, int total, const QString &target)
{
    devices_->setRowCount(index + 1);
    Fill(devices_, index, {target, tr("恢复中"), QString()});
    status_->setText(tr("正在恢复批量运行 %1：第%2台，共%3台").arg(run_).arg(index + 1).arg(total));
}

void RecordsRunRollback::OnFinished(int index)
{
    const DeviceReport &r = rollback_.Reports().at(index);
    if (devices_->rowCount() <= index)
        devices_->setRowCount(index + 1);
    Fill(devices_, index, {r.target, FleetWording::Result(r), r.record > 0 ? QString::number(r.record) : QString()});
}

void RecordsRunRollback::OnEnded()
{
    stop_->setEnabled(false);
    if (!rollback_.Failure().isEmpty())
        status_->setText(tr("批量运行 %1 没有恢复：%2").arg(run_, rollback_.Failure()));
    else
        status_->setText(tr("批量运行 %1 的恢复：%2").arg(run_, FleetWording::Totals(rollback_.Reports())));
    emit ended();
}

#include "moc_RecordsWindow.cpp"
