#include "params/ParamTableModel.h"

#include "core/AppState.h"

#include <QColor>
#include <QCoreApplication>
#include <QFont>

ParamTableModel::ParamTableModel(const AppState &state, Kind kind, QObject *parent)
    : QAbstractTableModel(parent), state_(state), kind_(kind)
{
    connect(&state, &AppState::modifiedChanged, this, [this] {
        if (!rows_.isEmpty())
            emit dataChanged(index(0, 0), index(Count() - 1, ParamColumnCount - 1),
                             {Qt::ForegroundRole});
    });
}

QVariant ParamTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= Count())
        return {};
    const ParamRow &row = rows_[index.row()];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        if (role == Qt::ToolTipRole && index.column() != ColNote)
            return {};
        // The cells of a row the device did not report hold no value of its.
        if (row.unreported && index.column() == ColHex)
            return QString();
        if (row.unreported && index.column() == ColValue)
            return NotReportedText();
        return row.cells[index.column()];
    case Qt::ForegroundRole:
        if (row.IsHeading())
            return QColor(Qt::white);
        if (row.unreported)
            return QColor(Qt::gray);
        if (state_.ModifiedParamList.Contains(row.Number()))
            return QColor(0, 0, 200);
        return {};
    case Qt::BackgroundRole:
        return row.IsHeading() ? QColor(250, 140, 130) : QVariant();
    case Qt::FontRole:
        if (row.IsHeading()) {
            QFont font;
            font.setBold(true);
            return font;
        }
        return {};
    default:
        return {};
    }
}

QVariant ParamTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case ColNumber: return QCoreApplication::translate("ParamTableModel", "参数号");
    case ColName: return QCoreApplication::translate("ParamTableModel", "参数名称");
    case ColHex: return QCoreApplication::translate("ParamTableModel", "参数HEX值");
    case ColValue: return QCoreApplication::translate("ParamTableModel", "参数值");
    case ColOnList: return QStringLiteral("OnList");
    case ColOnGet: return QStringLiteral("OnGet");
    case ColOnSet: return QStringLiteral("OnSet");
    case ColNote:
        return kind_ == Kind::Main ? QCoreApplication::translate("ParamTableModel", "参数说明")
                                   : QCoreApplication::translate("ParamTableModel", "参数相关说明");
    default: return {};
    }
}

void ParamTableModel::Clear()
{
    beginResetModel();
    rows_.clear();
    currentRow_ = -1;
    endResetModel();
    emit currentRowChanged(-1);
}

void ParamTableModel::AppendRow(const ParamRow &row)
{
    beginInsertRows({}, Count(), Count());
    rows_.push_back(row);
    endInsertRows();
}

QString ParamTableModel::Cell(int row, int column) const
{
    if (row < 0 || row >= Count() || column < 0 || column >= ParamColumnCount)
        return {};
    return rows_[row].cells[column];
}

void ParamTableModel::SetCell(int row, int column, const QString &text)
{
    if (row < 0 || row >= Count() || column < 0 || column >= ParamColumnCount)
        return;
    rows_[row].cells[column] = text;
    if (column == ColHex && rows_[row].unreported) {
        rows_[row].unreported = false;
        emit dataChanged(index(row, 0), index(row, ParamColumnCount - 1));
        return;
    }
    emit dataChanged(index(row, column), index(row, column));
}

void ParamTableModel::MarkReported(const QStringList &reported)
{
    for (int i = 0; i < Count(); ++i) {
        ParamRow &row = rows_[i];
        const bool unreported = !row.IsHeading() && !reported.contains(row.Number(), Qt::CaseInsensitive);
        if (row.unreported == unreported)
            continue;
        row.unreported = unreported;
        emit dataChanged(index(i, 0), index(i, ParamColumnCount - 1));
    }
}

QString ParamTableModel::NotReportedText()
{
    return QCoreApplication::translate("ParamTableModel", "(设备未报告)");
}

int ParamTableModel::FindFrom(const QString &number, int first) const
{
    const int n = Count();
    for (int k = 0; k < n; ++k) {
        const int i = (first + k) % n;
        if (rows_[i].Number().compare(number, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

void ParamTableModel::SetCurrentRow(int row)
{
    if (row < -1 || row >= Count())
        row = -1;
    currentRow_ = row;
    emit currentRowChanged(row);
}

#include "moc_ParamTableModel.cpp"
