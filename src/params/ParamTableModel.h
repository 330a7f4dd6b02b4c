#pragma once
#include "params/ParamRow.h"

#include <QAbstractTableModel>
#include <QStringList>
#include <QVector>

class AppState;

// The rows of one parameter table (main or extended) as a Qt item model.
// It also remembers the table's current row, which the window mirrors as the
// selected row and the write run moves through.
class ParamTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum class Kind { Main, Extended };
    ParamTableModel(const AppState &state, Kind kind, QObject *parent = nullptr);

    Kind kind() const { return kind_; }
    int rowCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : Count(); }
    int columnCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : ParamColumnCount; }
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    void Clear();
    void AppendRow(const ParamRow &row);
    int Count() const { return static_cast<int>(rows_.size()); }
    const ParamRow &Row(int index) const { return rows_[index]; }
    QString Cell(int row, int column) const;
    void SetCell(int row, int column, const QString &text);
    // After a read of the table: each numbered row the device reported
    // (`reported`, numbers as the table writes them) and those it did not.
    void MarkReported(const QStringList &reported);
    // The text a row not reported shows in place of a value.
    static QString NotReportedText();

    // First row whose number equals text, letter case ignored; -1 if none.
    int FindByNumber(const QString &number) const { return FindFrom(number, 0); }
    // The same search begun at the second row, wrapping round to the first.
    int FindByNumberFromSecond(const QString &number) const { return FindFrom(number, 1); }

    int CurrentRow() const { return currentRow_; }
    void SetCurrentRow(int row);

signals:
    void currentRowChanged(int row);

private:
    int FindFrom(const QString &number, int first) const;

    const AppState &state_;
    Kind kind_;
    QVector<ParamRow> rows_;
    int currentRow_ = -1;
};
