#include "platform/qt/BatchRowsModel.h"

#include "platform/qt/CaptionKeys.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QStyle>
#include <algorithm>

namespace pdfunlock {

namespace {

// A path in the file system's encoding, as argv gave it.
QString decodedPath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

const char* captionId(BatchRowState state) {
    switch (state) {
    case BatchRowState::Waiting:
        return captions::IDS_UI_BATCH_WAITING;
    case BatchRowState::Copied:
        return captions::IDS_UI_BATCH_COPIED;
    case BatchRowState::AlreadyCopied:
        return captions::IDS_UI_BATCH_ALREADY_COPIED;
    case BatchRowState::WrongPassword:
        return captions::IDS_UI_BATCH_WRONG_PASSWORD;
    case BatchRowState::NotProtected:
        return captions::IDS_UI_BATCH_NOT_PROTECTED;
    case BatchRowState::Refused:
        return captions::IDS_UI_BATCH_REFUSED;
    case BatchRowState::Failed:
        return captions::IDS_UI_BATCH_FAILED;
    case BatchRowState::Cancelled:
        return captions::IDS_UI_BATCH_CANCELLED;
    }
    return captions::IDS_UI_BATCH_FAILED;
}

QIcon iconFor(const QStyle& style, BatchRowState state) {
    switch (state) {
    case BatchRowState::Copied:
    case BatchRowState::AlreadyCopied:
        return style.standardIcon(QStyle::SP_DialogApplyButton);
    case BatchRowState::WrongPassword:
    case BatchRowState::NotProtected:
    case BatchRowState::Cancelled:
        return style.standardIcon(QStyle::SP_MessageBoxWarning);
    case BatchRowState::Refused:
    case BatchRowState::Failed:
        return style.standardIcon(QStyle::SP_MessageBoxCritical);
    case BatchRowState::Waiting:
        break;
    }
    return {};
}

} // namespace

BatchRowsModel::BatchRowsModel(QObject* parent) : QAbstractTableModel(parent) {
    for (std::size_t state = 0; state < kBatchRowStates; ++state) {
        captions_[state] = qtTrId(captionId(BatchRowState(state)));
        icons_[state] = iconFor(*QApplication::style(), BatchRowState(state));
    }
    headers_ = {qtTrId(captions::IDS_UI_BATCH_DOCUMENT), qtTrId(captions::IDS_UI_BATCH_STATE),
                qtTrId(captions::IDS_UI_BATCH_REASON), qtTrId(captions::IDS_UI_BATCH_COPY)};
}

void BatchRowsModel::addRows(const std::vector<BatchRow>& rows) {
    if (rows.empty()) {
        return;
    }
    const int first = int(rows_.size());
    beginInsertRows({}, first, first + int(rows.size()) - 1);
    rows_.insert(rows_.end(), rows.begin(), rows.end());
    endInsertRows();
}

void BatchRowsModel::clear() {
    beginResetModel();
    rows_.clear();
    endResetModel();
}

void BatchRowsModel::updateRows(const std::vector<std::pair<std::size_t, BatchRow>>& rows) {
    std::vector<int> changed;
    for (const auto& [index, row] : rows) {
        if (index < rows_.size()) {
            rows_[index] = row;
            changed.push_back(int(index));
        }
    }
    std::sort(changed.begin(), changed.end());
    // One signal for each stretch of neighbouring rows.
    for (std::size_t at = 0; at < changed.size();) {
        std::size_t end = at + 1;
        while (end < changed.size() && changed[end] <= changed[end - 1] + 1) {
            ++end;
        }
        emit dataChanged(index(changed[at], 0), index(changed[end - 1], ColumnCount - 1));
        at = end;
    }
}

QString BatchRowsModel::stateAndReason(int row) const {
    const BatchRow& shown = this->row(row);
    const QString state = captions_[std::size_t(shown.state)];
    if (shown.reason.empty()) {
        return state;
    }
    return qtTrId(captions::IDS_UI_BATCH_STATE_REASON)
        .arg(state, QString::fromStdString(shown.reason));
}

QString BatchRowsModel::details(int row) const {
    const BatchRow& shown = this->row(row);
    if (shown.copyPath.empty()) {
        return qtTrId(captions::IDS_UI_BATCH_DETAILS)
            .arg(decodedPath(shown.path), stateAndReason(row));
    }
    return qtTrId(captions::IDS_UI_BATCH_DETAILS_COPY)
        .arg(decodedPath(shown.path), stateAndReason(row), decodedPath(shown.copyPath));
}

int BatchRowsModel::stateWidth(const QFontMetrics& metrics) const {
    int widest = 0;
    for (const QString& caption : captions_) {
        widest = std::max(widest, metrics.horizontalAdvance(caption));
    }
    return widest;
}

int BatchRowsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(rows_.size());
}

int BatchRowsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant BatchRowsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= int(rows_.size())) {
        return {};
    }
    const BatchRow& shown = rows_[std::size_t(index.row())];
    const auto text = [&]() -> QString {
        switch (index.column()) {
        case DocumentColumn:
            return decodedPath(shown.shown);
        case StateColumn:
            return captions_[std::size_t(shown.state)];
        case ReasonColumn:
            return QString::fromStdString(shown.reason);
        case CopyColumn:
            return shown.copyPath.empty() ? QString()
                                          : QFileInfo(decodedPath(shown.copyPath)).fileName();
        }
        return {};
    };
    switch (role) {
    case Qt::DisplayRole:
        return text();
    case Qt::ToolTipRole:
        if (index.column() == DocumentColumn) {
            return decodedPath(shown.path);
        }
        return index.column() == CopyColumn ? decodedPath(shown.copyPath) : text();
    case Qt::DecorationRole:
        return index.column() == StateColumn ? icons_[std::size_t(shown.state)] : QVariant();
    case Qt::AccessibleDescriptionRole:
        // Whichever cell a screen reader is on, it can tell the row's state and why.
        return stateAndReason(index.row());
    case SortRole:
        return index.column() == StateColumn ? QVariant(int(shown.state)) : QVariant(text());
    default:
        return {};
    }
}

QVariant BatchRowsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < ColumnCount) {
        return headers_[std::size_t(section)];
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

} // namespace pdfunlock
