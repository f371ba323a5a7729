#include "editing/CellEditDelegate.h"

#include <QComboBox>
#include <QLineEdit>
#include <QRegularExpressionValidator>

namespace {

bool isBinary(db::FieldType t) {
    return t == db::FieldType::Binary || t == db::FieldType::VarBinary || t == db::FieldType::LongVarBinary;
}
bool isDateTime(db::FieldType t) {
    return t == db::FieldType::Date || t == db::FieldType::DbDate || t == db::FieldType::DbTime ||
           t == db::FieldType::DbTimeStamp;
}

} // namespace

CellEditDelegate::CellEditDelegate(QAbstractItemDelegate* painter, std::function<const std::vector<db::Field>&()> fields,
                                   QObject* parent)
    : QStyledItemDelegate(parent), painter_(painter), fields_(std::move(fields)) {}

void CellEditDelegate::paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    painter_->paint(p, option, index);
}

QSize CellEditDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    return painter_->sizeHint(option, index);
}

db::FieldType CellEditDelegate::typeOf(const QModelIndex& index) const {
    const auto& fields = fields_();
    return index.column() < int(fields.size()) ? fields[size_t(index.column())].type : db::FieldType::VarWChar;
}

QWidget* CellEditDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const {
    const db::FieldType type = typeOf(index);
    if (type == db::FieldType::Boolean) {
        auto* box = new QComboBox(parent);
        box->addItem(QStringLiteral("1 (true)"), QStringLiteral("1"));
        box->addItem(QStringLiteral("0 (false)"), QStringLiteral("0"));
        return box;
    }
    auto* line = new QLineEdit(parent);
    line->setFrame(false);
    if (db::isNumberType(type)) {
        line->setValidator(new QRegularExpressionValidator(
            QRegularExpression(QStringLiteral("[-+]?[0-9]*([.][0-9]*)?([eE][-+]?[0-9]*)?")), line));
    } else if (isBinary(type)) {
        line->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("([0-9A-Fa-f]{2})*[0-9A-Fa-f]?")), line));
        line->setPlaceholderText(QStringLiteral("hex digits"));
    } else if (isDateTime(type)) {
        line->setPlaceholderText(type == db::FieldType::DbTime ? QStringLiteral("hh:mm:ss")
                                 : type == db::FieldType::DbTimeStamp ? QStringLiteral("YYYY-MM-DD hh:mm:ss")
                                                                      : QStringLiteral("YYYY-MM-DD"));
    }
    return line;
}

void CellEditDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    const QString text = index.data(Qt::EditRole).toString();
    if (auto* box = qobject_cast<QComboBox*>(editor)) {
        const int at = box->findData(text == QLatin1String("t") || text == QLatin1String("true") ? QStringLiteral("1") : text);
        box->setCurrentIndex(at < 0 ? 0 : at);
        box->setProperty("initial", box->currentIndex());
        return;
    }
    if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        line->setText(text);
        line->setModified(false);
    }
}

void CellEditDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const {
    if (auto* box = qobject_cast<QComboBox*>(editor)) {
        if (box->currentIndex() != box->property("initial").toInt()) model->setData(index, box->currentData(), Qt::EditRole);
        return;
    }
    // binary values are kept as upper-case hex digits, as fetched ones are
    if (auto* line = qobject_cast<QLineEdit*>(editor); line && line->isModified())
        model->setData(index, isBinary(typeOf(index)) ? line->text().toUpper() : line->text(), Qt::EditRole);
}
