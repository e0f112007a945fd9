// The rows of the window for several documents as a Qt item model: the
// document's path below the folder named, its state, the reason and the
// copy, each row's state and reason also as its accessible description. A
// round of changes is one signal per stretch of rows, so that thousands of
// rows stay cheap to fill and to update.
#pragma once

#include "platform/BatchDesktop.h"

#include <QAbstractTableModel>
#include <QFontMetrics>
#include <QIcon>
#include <QString>
#include <array>
#include <utility>
#include <vector>

namespace pdfunlock {

class BatchRowsModel final : public QAbstractTableModel {
public:
    enum Column { DocumentColumn, StateColumn, ReasonColumn, CopyColumn, ColumnCount };
    // What the list sorts by: the state in its order, else the text shown.
    static constexpr int SortRole = Qt::UserRole;

    // Captions and icons are taken now: install the translations first.
    explicit BatchRowsModel(QObject* parent);

    void addRows(const std::vector<BatchRow>& rows);
    void clear();
    void updateRows(const std::vector<std::pair<std::size_t, BatchRow>>& rows);
    const BatchRow& row(int row) const { return rows_.at(std::size_t(row)); }
    // "<state>: <reason>", or the state alone.
    QString stateAndReason(int row) const;
    // The row as the details line reads it.
    QString details(int row) const;
    // The widest state caption's width.
    int stateWidth(const QFontMetrics& metrics) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<BatchRow> rows_;
    std::array<QString, kBatchRowStates> captions_;
    std::array<QIcon, kBatchRowStates> icons_;
    std::array<QString, ColumnCount> headers_;
};

} // namespace pdfunlock
