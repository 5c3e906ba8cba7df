#include "sales_form.h"

#include "shop_prices.h"
#include "widget/vok_articulo_widget.h"

#include <QApplication>
#include <QDoubleValidator>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QTableWidget>
#include <QVBoxLayout>

namespace demo {

namespace {

enum Column { Code, Name, Quantity, Price, Amount, ColumnCount };

QString amountText(double value)
{
    return QLocale().toString(value, 'f', 2);
}

} // namespace

SalesForm::SalesForm(std::shared_ptr<rdo::rdoConnection> connection, std::vector<ScaleRule> scaleRules, QWidget *parent)
    : QWidget(parent), m_connection(std::move(connection)), m_scaleRules(std::move(scaleRules))
{
    setWindowTitle(tr("Ventas"));

    m_articulo = new vokArticuloWidget(this);
    m_articulo->setObjectName(QStringLiteral("txtArticulo"));
    m_articleName = new QLabel(this);
    QFont nameFont = m_articleName->font();
    nameFont.setBold(true);
    m_articleName->setFont(nameFont);

    m_cantidad = new QLineEdit(this);
    m_cantidad->setObjectName(QStringLiteral("txtCantidad"));
    m_cantidad->setValidator(new QDoubleValidator(0, 1e6, 3, m_cantidad));
    m_precio = new QLineEdit(this);
    m_precio->setObjectName(QStringLiteral("txtPrecio"));
    m_precio->setValidator(new QDoubleValidator(0, 1e9, 2, m_precio));
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("lblEstado"));

    m_lineas = new QTableWidget(0, ColumnCount, this);
    m_lineas->setObjectName(QStringLiteral("grdLineas"));
    m_lineas->setHorizontalHeaderLabels({tr("Código"), tr("Artículo"), tr("Cantidad"), tr("Precio"), tr("Importe")});
    m_lineas->horizontalHeader()->setSectionResizeMode(Name, QHeaderView::Stretch);
    m_lineas->verticalHeader()->setVisible(false);
    m_lineas->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_lineas->setFocusPolicy(Qt::NoFocus);
    m_total = new QLabel(this);
    m_total->setAlignment(Qt::AlignRight);
    QFont totalFont = m_total->font();
    totalFont.setPointSizeF(totalFont.pointSizeF() * 1.4);
    totalFont.setBold(true);
    m_total->setFont(totalFont);

    auto *entry = new QFormLayout;
    entry->addRow(tr("&Artículo:"), m_articulo);
    entry->addRow(QString(), m_articleName);
    auto *amounts = new QHBoxLayout;
    amounts->addWidget(m_cantidad);
    amounts->addWidget(new QLabel(tr("&Precio:"), this));
    amounts->addWidget(m_precio);
    amounts->addWidget(m_status, 1);
    entry->addRow(tr("&Cantidad:"), amounts);
    static_cast<QLabel *>(entry->labelForField(m_articulo))->setBuddy(m_articulo);
    static_cast<QLabel *>(entry->labelForField(amounts))->setBuddy(m_cantidad);
    static_cast<QLabel *>(amounts->itemAt(1)->widget())->setBuddy(m_precio);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(entry);
    layout->addWidget(m_lineas, 1);
    layout->addWidget(m_total);
    setTabOrder(m_articulo, m_cantidad);
    setTabOrder(m_cantidad, m_precio);

    // The control raises key press 13 once Enter has loaded an article; a host
    // moves on to its next field then. The move waits until the control has
    // finished with the key.
    connect(m_articulo, &vokArticuloWidget::KeyPress, this, [this](qint16 *keyAscii) {
        if (*keyAscii == 13 && m_articulo->ID() > 0)
            QMetaObject::invokeMethod(this, &SalesForm::articleChosen, Qt::QueuedConnection);
    });
    connect(m_articulo, &vokArticuloWidget::Change, this, [this] {
        if (m_articulo->ID() == 0)
            m_articleName->clear();
    });
    connect(m_cantidad, &QLineEdit::returnPressed, this, [this] {
        m_precio->setFocus();
        m_precio->selectAll();
    });
    connect(m_precio, &QLineEdit::returnPressed, this, &SalesForm::addLine);
    // In the control F12 is the control's own key; on the quantity and the
    // price the form offers the same view of the article about to be sold.
    auto *detail = new QShortcut(QKeySequence(Qt::Key_F12), this);
    detail->setContext(Qt::WidgetWithChildrenShortcut);
    connect(detail, &QShortcut::activated, this, [this] {
        if (m_articulo->isAncestorOf(QApplication::focusWidget()) || m_articulo->ID() <= 0)
            return;
        int32_t article = m_articulo->ID();
        int16_t variety = static_cast<int16_t>(m_articulo->Variedad());
        m_articulo->control().MostrarDetalle(article, variety);
    });
    showTotal();
}

void SalesForm::articleChosen()
{
    const int decimals = m_articulo->Decimales();
    m_articleName->setText(m_articulo->Codigo() + QStringLiteral("  ") + m_articulo->Nombre());
    double quantity = m_articulo->CB() && m_articulo->CBCantidad() > 0 ? m_articulo->CBCantidad() : 1.0;
    std::optional<double> price;
    try {
        price = unitPrice(*m_connection, m_articulo->ID(), static_cast<int16_t>(m_articulo->Variedad()), m_priceType);
        say(price ? QString() : tr("Sin precio en la lista %1").arg(m_priceType));
    } catch (const std::exception &error) {
        say(tr("No se pudo leer el precio: %1").arg(QString::fromLocal8Bit(error.what())));
    }

    // A scale label: the control found the article by the label's fixed part
    // and hands over the rest; the shop's rules say what it weighs or costs.
    const QString variable = m_articulo->CBVariable();
    if (m_articulo->CB() && !variable.isEmpty()) {
        const ScaleDecoding label = decodeScaleLabel(m_articulo->CBFija() + variable, variable, m_scaleRules);
        if (label.reading && label.reading->kind == ScaleValue::Weight) {
            quantity = label.reading->value;
            say(tr("Balanza: %1 kg").arg(QLocale().toString(quantity, 'f', 3)));
        } else if (label.reading) {
            quantity = 1;
            price = label.reading->value;
            say(tr("Balanza: %1").arg(amountText(*price)));
        } else {
            say(label.problem);
        }
    }
    m_cantidad->setText(QLocale().toString(quantity, 'f', std::max(decimals, quantity == int(quantity) ? 0 : 3)));
    m_precio->setText(price ? amountText(*price) : QString());
    m_cantidad->setFocus();
    m_cantidad->selectAll();
}

void SalesForm::addLine()
{
    bool quantityOk = false;
    bool priceOk = false;
    const double quantity = QLocale().toDouble(m_cantidad->text(), &quantityOk);
    const double price = QLocale().toDouble(m_precio->text(), &priceOk);
    if (m_articulo->ID() <= 0) {
        say(tr("Elija un artículo"));
        m_articulo->setFocus();
        return;
    }
    if (!quantityOk || quantity <= 0) {
        say(tr("Cantidad no válida"));
        m_cantidad->setFocus();
        return;
    }
    if (!priceOk || price < 0) {
        say(tr("Precio no válido"));
        m_precio->setFocus();
        return;
    }
    const int row = m_lineas->rowCount();
    m_lineas->insertRow(row);
    const auto cell = [&](int column, const QString &text, bool number) {
        auto *item = new QTableWidgetItem(text);
        if (number)
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_lineas->setItem(row, column, item);
    };
    cell(Code, m_articulo->Codigo(), false);
    cell(Name, m_articulo->Nombre(), false);
    cell(Quantity, m_cantidad->text(), true);
    cell(Price, amountText(price), true);
    cell(Amount, amountText(quantity * price), true);
    m_lineas->scrollToBottom();
    m_totalAmount += quantity * price;
    showTotal();
    emit lineAdded(row);
    startNextLine();
}

void SalesForm::startNextLine()
{
    m_articulo->setText(QString());
    m_cantidad->clear();
    m_precio->clear();
    m_articleName->clear();
    say(QString());
    m_articulo->setFocus();
}

void SalesForm::showTotal()
{
    m_total->setText(tr("Total: %1").arg(amountText(m_totalAmount)));
}

void SalesForm::say(const QString &text)
{
    m_status->setText(text);
}

} // namespace demo
