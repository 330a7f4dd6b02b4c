#include "ui/FleetWindow.h"

#include "channel/SerialSettings.h"
#include "core/DtuError.h"
#include "core/Translation.h"
#include "actions/FleetCheck.h"
#include "core/WriteRules.h"
#include "fleet/FleetSetup.h"
#include "ops/Wording.h"
#include "ui/Dialogs.h"
#include "ui/WidgetHelpers.h"
#include "ui/WindowRecorder.h"
#include "fleet/FleetWording.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

enum FixedColumn { ColTarget, ColDeviceName, ColPassword, kFixedColumns };

// The password column: dots for each character, and a password edit box,
// until the technician asks to see them.
class PasswordDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    bool shown = false;

    QString displayText(const QVariant &value, const QLocale &locale) const override
    {
        const QString text = QStyledItemDelegate::displayText(value, locale);
        return shown ? text : QString(text.size(), QChar(0x25CF));
    }
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto *edit = qobject_cast<QLineEdit *>(editor); edit && !shown)
            edit->setEchoMode(QLineEdit::Password);
        return editor;
    }
};
} // namespace

using WidgetHelpers::Button;
using WidgetHelpers::Named;

FleetWindow::FleetWindow(Dialogs &dialogs, const WindowRecorder &records, const QString &profilePath,
                         QWidget *parent)
    : QWidget(parent, Qt::Window), dialogs_(dialogs), records_(records)
{
    setObjectName(QStringLiteral("FleetWindow"));
    setWindowTitle(tr("多台设备配置"));
    setAttribute(Qt::WA_DeleteOnClose, false);

    profile_ = Named(new QLineEdit(profilePath, this), "fleetProfile");
    QPushButton *chooseProfile = Button("fleetChooseProfile", tr("选择..."));
    ports_ = Named(new QComboBox(this), "fleetPorts");
    ports_->setEditable(true);
    ports_->addItems(SerialSettings::SystemPorts());
    QPushButton *addPort = Button("fleetAddPort", tr("添加串口"));
    tcpTarget_ = Named(new QLineEdit(this), "fleetTcpTarget");
    tcpTarget_->setPlaceholderText(Endpoint::Tcp(QStringLiteral("192.168.1.10")).Text());
    QPushButton *addTcp = Button("fleetAddTcp", tr("添加TCP"));
    QPushButton *import = Button("fleetImport", tr("导入清单..."));
    newColumn_ = Named(new QLineEdit(this), "fleetNewColumn");
    newColumn_->setPlaceholderText(QStringLiteral("0091"));
    newColumn_->setMaxLength(4);
    QPushButton *addColumn = Button("fleetAddColumn", tr("添加参数列"));
    QPushButton *remove = Button("fleetRemove", tr("删除设备"));

    devices_ = Named(new QTableWidget(0, kFixedColumns + 2, this), "fleetDevices");
    devices_->setHorizontalHeaderLabels({tr("目标"), tr("名称"), tr("密码"),
                                         tr("进度"), tr("结果")});
    devices_->horizontalHeader()->setStretchLastSection(true);
    auto *passwords = new PasswordDelegate(devices_);
    devices_->setItemDelegateForColumn(ColPassword, passwords);
    auto *showPasswords = Named(new QCheckBox(tr("显示密码"), this), "fleetShowPasswords");
    connect(showPasswords, &QCheckBox::toggled, this, [this, passwords](bool on) {
        passwords->shown = on;
        devices_->viewport()->update();
    });

    jobs_ = Named(new QSpinBox(this), "fleetJobs");
    jobs_->setRange(1, FleetRunner::kMaxJobs);
    jobs_->setValue(FleetRunner::kMaxDefaultJobs);
    // The device number is written only from the unlock level; below it a
    // column of it is refused before the run.
    level_ = Named(new QComboBox(this), "fleetLevel");
    level_->addItem(tr("级别0"), 0);
    level_->addItem(tr("级别%1（写%2）").arg(WriteRules::kUnlockLevel).arg(WriteRules::kProtectedNumber),
                    WriteRules::kUnlockLevel);
    fast_ = Named(new QCheckBox(tr("快速应答"), this), "fleetFast");
    verify_ = Named(new QCheckBox(tr("写后校验"), this), "fleetVerify");
    verify_->setChecked(true);
    writeAll_ = Named(new QCheckBox(tr("写入全部参数"), this), "fleetWriteAll");
    writeAll_->setToolTip(tr("不选时只写入与设备不同的参数"));
    start_ = Button("fleetStart", tr("开始"));
    audit_ = Button("fleetAudit", tr("核对"));
    audit_->setToolTip(tr("读出每台设备，与应有的参数比较，什么也不写"));
    stop_ = Button("fleetStop", tr("停止"));
    export_ = Button("fleetExport", tr("导出报告"));
    totals_ = Named(new QLabel(this), "fleetTotals");

    auto *grid = new QGridLayout;
    grid->addWidget(new QLabel(tr("参数文件"), this), 0, 0);
    grid->addWidget(profile_, 0, 1, 1, 3);
    grid->addWidget(chooseProfile, 0, 4);
    grid->addWidget(ports_, 1, 0, 1, 2);
    grid->addWidget(addPort, 1, 2);
    grid->addWidget(tcpTarget_, 1, 3);
    grid->addWidget(addTcp, 1, 4);
    grid->addWidget(import, 2, 0);
    grid->addWidget(newColumn_, 2, 1);
    grid->addWidget(addColumn, 2, 2);
    grid->addWidget(showPasswords, 2, 3);
    grid->addWidget(remove, 2, 4);
    auto *runRow = new QHBoxLayout;
    runRow->addWidget(new QLabel(tr("同时"), this));
    runRow->addWidget(jobs_);
    runRow->addWidget(new QLabel(tr("访问级别"), this));
    runRow->addWidget(level_);
    runRow->addWidget(fast_);
    runRow->addWidget(verify_);
    runRow->addWidget(writeAll_);
    runRow->addStretch();
    runRow->addWidget(start_);
    runRow->addWidget(audit_);
    runRow->addWidget(stop_);
    runRow->addWidget(export_);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(devices_);
    layout->addLayout(runRow);
    layout->addWidget(totals_);
    resize(820, 480);

    editing_ = {profile_, chooseProfile, ports_, addPort, tcpTarget_, addTcp, import, newColumn_, addColumn,
                remove, jobs_, level_, fast_, verify_, writeAll_, start_, audit_};

    connect(chooseProfile, &QPushButton::clicked, this, &FleetWindow::ChooseProfile);
    connect(addPort, &QPushButton::clicked, this, [this] {
        if (const std::optional<Endpoint> target = Endpoint::Parse(ports_->currentText()))
            AddDevice({.target = *target});
    });
    connect(addTcp, &QPushButton::clicked, this, [this] {
        // An address typed without "tcp:" means the maintenance port all the same.
        const QString text = tcpTarget_->text().trimmed();
        Endpoint::Fault fault = Endpoint::Fault::None;
        std::optional<Endpoint> target = Endpoint::Parse(text, &fault);
        if (target && !target->tcp)
            target = Endpoint::ParseAddress(text, &fault);
        if (!target) {
            dialogs_.Message(FleetWording::TargetFault(fault, text), windowTitle());
            return;
        }
        AddDevice({.target = *target});
        tcpTarget_->clear();
    });
    connect(import, &QPushButton::clicked, this, &FleetWindow::ImportInventory);
    connect(addColumn, &QPushButton::clicked, this, [this] {
        if (!WriteRules::IsParamNumber(newColumn_->text())) {
            dialogs_.Message(tr("参数号是四位十六进制数，如 0091"), windowTitle());
            return;
        }
        AddValueColumn(newColumn_->text().toUpper());
        newColumn_->clear();
    });
    connect(remove, &QPushButton::clicked, this, [this] {
        const int row = devices_->currentRow();
        if (row >= 0)
            devices_->removeRow(row);
    });
    connect(start_, &QPushButton::clicked, this, [this] { StartRun(false); });
    connect(audit_, &QPushButton::clicked, this, [this] { StartRun(true); });
    connect(stop_, &QPushButton::clicked, &runner_, &FleetRunner::Stop);
    connect(export_, &QPushButton::clicked, this, &FleetWindow::ExportReport);
    connect(&runner_, &FleetRunner::deviceStarted, this, &FleetWindow::OnStarted);
    connect(&runner_, &FleetRunner::deviceProgress, this, &FleetWindow::OnProgress);
    connect(&runner_, &FleetRunner::deviceFinished, this, &FleetWindow::OnFinished);
    connect(&runner_, &FleetRunner::finished, this, &FleetWindow::OnRunEnded);
    SetIdle(true);
    export_->setEnabled(false);
}

int FleetWindow::ProgressColumn() const
{
    return kFixedColumns + static_cast<int>(valueColumns_.size());
}

void FleetWindow::AddValueColumn(const QString &number)
{
    if (valueColumns_.contains(number))
        return;
    const int column = ProgressColumn();
    devices_->insertColumn(column);
    devices_->setHorizontalHeaderItem(column, new QTableWidgetItem(number));
    valueColumns_ << number;
}

void FleetWindow::AddDevice(const FleetDevice &device)
{
    const int row = devices_->rowCount();
    devices_->insertRow(row);
    devices_->setItem(row, ColTarget, new QTableWidgetItem(device.target.Text()));
    devices_->setItem(row, ColDeviceName, new QTableWidgetItem(device.name));
    devices_->setItem(row, ColPassword, new QTableWidgetItem(device.password));
    for (const auto &value : device.values) {
        AddValueColumn(value.first);
        devices_->setItem(row, kFixedColumns + static_cast<int>(valueColumns_.indexOf(value.first)),
                          new QTableWidgetItem(value.second));
    }
    auto *bar = new QProgressBar(devices_);
    bar->setRange(0, 1);
    bar->setValue(0);
    devices_->setCellWidget(row, ProgressColumn(), bar);
    auto *outcome = new QTableWidgetItem;
    outcome->setFlags(outcome->flags() & ~Qt::ItemIsEditable);
    devices_->setItem(row, ProgressColumn() + 1, outcome);
}

Inventory::Table FleetWindow::DeviceTable() const
{
    Inventory::Table table;
    table.valueColumns = valueColumns_;
    const auto cell = [this](int row, int column) {
        const QTableWidgetItem *item = devices_->item(row, column);
        return item ? item->text().trimmed() : QString();
    };
    for (int row = 0; row < devices_->rowCount(); ++row) {
        FleetDevice device;
        Endpoint::Fault fault = Endpoint::Fault::None;
        const std::optional<Endpoint> target = Endpoint::Parse(cell(row, ColTarget), &fault);
        if (!target)
            throw DtuError(tr("第%1行：%2").arg(row + 1).arg(FleetWording::TargetFault(fault, cell(row, ColTarget))));
        device.target = *target;
        device.name = cell(row, ColDeviceName);
        device.password = cell(row, ColPassword);
        for (int c = 0; c < valueColumns_.size(); ++c) {
            const QString value = cell(row, kFixedColumns + c);
            if (!value.isEmpty())
                device.values.append({valueColumns_[c], value});
        }
        table.devices << device;
    }
    // The same checks as an imported inventory (a target twice, bad HEX:).
    return Inventory::Parse(Inventory::Render(table));
}

void FleetWindow::ImportInventory()
{
    const QString path = dialogs_.OpenFile(QStringLiteral("*.csv"), QStringLiteral(".csv"));
    if (path.isEmpty())
        return;
    try {
        const Inventory::Table table = Inventory::Read(path);
        for (const QString &column : table.valueColumns)
            AddValueColumn(column);
        for (const FleetDevice &device : table.devices)
            AddDevice(device);
    } catch (const Inventory::ParseError &e) {
        dialogs_.Message(FleetWording::InventoryProblem(e.problem), windowTitle());
    }
}

void FleetWindow::ChooseProfile()
{
    const QString path = dialogs_.OpenFile(QStringLiteral("*.txt"), QStringLiteral(".txt"));
    if (!path.isEmpty())
        profile_->setText(path);
}

void FleetWindow::StartRun(bool audit)
{
    Inventory::Table table;
    try {
        table = DeviceTable();
    } catch (const Inventory::ParseError &e) {
        dialogs_.Message(FleetWording::InventoryProblem(e.problem), windowTitle());
        return;
    } catch (const DtuError &e) {
        dialogs_.Message(e.text(), windowTitle());
        return;
    }
    FleetSetup::Choices choices;
    choices.profilePath = profile_->text();
    choices.level = level_->currentData().toInt();
    choices.jobs = jobs_->value();
    choices.language = Translation::Code(Translation::Current());
    choices.fast = fast_->isChecked();
    choices.verify = !audit && verify_->isChecked();
    choices.audit = audit;
    choices.writeAll = !audit && writeAll_->isChecked();
    choices.recordsOff = !records_.IsOn();
    choices.recordsLocation = records_.LocationText();
    const FleetSetup::Plan plan = FleetSetup::Make(choices, table);
    if (plan.refusal != FleetSetup::Refusal::None) {
        dialogs_.Message(FleetWording::SetupRefusal(plan, profile_->text()), windowTitle());
        return;
    }
    if (const QStringList refusals = CellRefusals(table, plan.settings, choices.level); !refusals.isEmpty()) {
        dialogs_.Message(refusals.join(QLatin1Char('\n')), windowTitle());
        return;
    }
    for (int row = 0; row < devices_->rowCount(); ++row) {
        if (QProgressBar *bar = Bar(row)) {
            bar->setRange(0, 1);
            bar->setValue(0);
        }
        ShowResult(row, tr("等待"));
    }
    totals_->clear();
    SetIdle(false);
    auditing_ = audit;
    runId_ = audit ? QString() : plan.runId;
    runner_.Start(table.devices, plan.settings);
}

QStringList FleetWindow::CellRefusals(const Inventory::Table &table, const FleetRunner::Settings &settings,
                                      int level) const
{
    QStringList refusals;
    for (const Actions::InventoryRefusal &r :
         Actions::CheckInventory(table, settings.profilePath, settings.scriptPath, level)) {
        switch (r.kind) {
        case Actions::InventoryRefusal::Kind::CannotLoad:
            refusals << r.text;
            break;
        case Actions::InventoryRefusal::Kind::NoSuchColumn:
            refusals << tr("参数文件中没有参数%1：请删除这一列").arg(r.number);
            break;
        // The table's row: the line of the rendered inventory after its header.
        case Actions::InventoryRefusal::Kind::Cell:
            refusals << tr("第%1台设备（%2）：%3").arg(r.line - 1).arg(r.target, Wording::RefusedValue(r.refusal));
            break;
        case Actions::InventoryRefusal::Kind::SameDevice:
            refusals << tr("第%1台设备（%2）与第%3台（%4）是同一台设备").arg(r.line - 1).arg(r.target).arg(r.other - 1).arg(r.text);
            break;
        }
    }
    return refusals;
}

QProgressBar *FleetWindow::Bar(int row) const
{
    return qobject_cast<QProgressBar *>(devices_->cellWidget(row, ProgressColumn()));
}

void FleetWindow::ShowResult(int row, const QString &text)
{
    QTableWidgetItem *item = devices_->item(row, ProgressColumn() + 1);
    item->setText(text);
    item->setToolTip(text); // the whole of a long list of rows
}

void FleetWindow::OnStarted(int index)
{
    ShowResult(index, FleetWording::Phase({}));
}

void FleetWindow::OnProgress(int index, const QString &phase, int done, int total)
{
    QProgressBar *bar = Bar(index);
    if (bar && phase == QLatin1String("write") && total > 0) {
        bar->setRange(0, total);
        bar->setValue(done);
    }
    ShowResult(index, FleetWording::Phase(phase));
}

void FleetWindow::OnFinished(int index)
{
    const DeviceReport &r = runner_.Reports().at(index);
    // The rows the device acknowledged: a device not written stays empty.
    if (QProgressBar *bar = Bar(index)) {
        bar->setMaximum(qMax(bar->maximum(), r.written));
        bar->setValue(r.written);
    }
    ShowResult(index, FleetWording::Result(r, auditing_));
}

void FleetWindow::OnRunEnded()
{
    const QList<DeviceReport> &reports = runner_.Reports();
    int unrecorded = 0;
    QString why;
    for (int i = 0; i < reports.size(); ++i) {
        if (reports[i].outcome == OutcomeId::NotStarted)
            ShowResult(i, FleetWording::Result(reports[i]));
        // Workers that could not keep their entries: the device work was done.
        if (!reports[i].recordWarning.isEmpty()) {
            ++unrecorded;
            why = reports[i].recordWarning;
        }
    }
    QStringList lines{FleetWording::Totals(reports, auditing_)};
    if (unrecorded > 0)
        lines << tr("%1台设备的操作没有记入设备档案：%2").arg(unrecorded).arg(why);
    if (!runId_.isEmpty())
        lines << tr("设备档案：批量运行 %1（可在设备档案中整批恢复）").arg(runId_);
    totals_->setText(lines.join(QLatin1Char('\n')));
    SetIdle(true);
    export_->setEnabled(true);
}

void FleetWindow::ExportReport()
{
    const QString path = dialogs_.SaveFile(QStringLiteral("*.csv"), QStringLiteral(".csv"));
    if (path.isEmpty())
        return;
    try {
        FleetReport::Write(path, runner_.Reports());
    } catch (const DtuError &e) {
        dialogs_.Message(e.text(), windowTitle());
    }
}

void FleetWindow::SetIdle(bool idle)
{
    for (QWidget *w : editing_)
        w->setEnabled(idle);
    devices_->setEditTriggers(idle ? QAbstractItemView::AllEditTriggers : QAbstractItemView::NoEditTriggers);
    stop_->setEnabled(!idle);
}

#include "moc_FleetWindow.cpp"
