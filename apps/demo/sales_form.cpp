#include "sales_form.h"

#include "shop_prices.h"
#include "platform/ui/qt/qt_scanner.h"
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

// What the status line tells the cashier, in the screen's two languages.
enum class Say { NoPrice, PriceUnread, Weight, Amount, BadLabel, Unknown, NotInUse, NotForSale, Choose, BadQuantity, BadPrice };

QString text(Say what, int idioma)
{
    const auto pick = [idioma](const char *spanish, const char *english) {
        return QString::fromUtf8(idioma == 2 ? english : spanish);
    };
    switch (what) {
    case Say::NoPrice: return pick("Sin precio en el tipo de precio %1", "No price in price type %1");
    case Say::PriceUnread: return pick("No se pudo leer el precio: %1", "The price could not be read: %1");
    case Say::Weight: return pick("Balanza: %1 kg", "Scale: %1 kg");
    case Say::Amount: return pick("Balanza: %1", "Scale: %1");
    case Say::BadLabel: return pick("Etiqueta de balanza inválida: %1", "Invalid scale label: %1");
    case Say::Unknown: return pick("%1 no existe", "%1 does not exist");
    case Say::NotInUse: return pick("%1 no está en uso", "%1 is not in use");
    case Say::NotForSale: return pick("%1 no está a la venta", "%1 is not for sale");
    case Say::Choose: return pick("Elija un artículo", "Choose an article");
    case Say::BadQuantity: return pick("Cantidad no válida", "Invalid quantity");
    case Say::BadPrice: return pick("Precio no válido", "Invalid price");
    }
    return {};
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
    // moves on to its next field then, there and then: the keys the cashier
    // typed ahead are still queued and belong to the quantity.
    connect(m_articulo, &vokArticuloWidget::KeyPress, this, [this](qint16 *keyAscii) {
        if (*keyAscii == 13 && m_articulo->ID() > 0)
            articleChosen();
    });
    connect(m_articulo, &vokArticuloWidget::Change, this, [this] {
        if (m_articulo->ID() == 0) {
            m_articleName->clear();
            m_ready = false;
        }
    });
    connect(m_articulo, &vokArticuloWidget::GotFocus2, this, &SalesForm::nothingTaken);
    // A code scanned into the quantity is the next article, never a
    // quantity: the line not yet confirmed is left, and the code goes to the
    // article field as scanned.
    new ui::qt::ScannerWatch(m_cantidad, [this](const QString &code) {
        m_articulo->setFocus();
        ui::qt::typeAhead(code + u'\r');
    });
    connect(m_cantidad, &QLineEdit::returnPressed, this, [this] {
        m_precio->setFocus();
        m_precio->selectAll();
    });
    connect(m_precio, &QLineEdit::returnPressed, this, &SalesForm::addLine);
    // In the control F12 is the control's own key; on the quantity and the
    // price the form offers the same view of the article about to be sold.
    // The shortcuts belong to those two fields only, so that F12 in the
    // control still reaches the control.
    for (QLineEdit *field : {m_cantidad, m_precio}) {
        auto *detail = new QShortcut(QKeySequence(Qt::Key_F12), field, nullptr, nullptr, Qt::WidgetShortcut);
        connect(detail, &QShortcut::activated, this, [this] {
            if (m_articulo->ID() <= 0)
                return;
            int32_t article = m_articulo->ID();
            int16_t variety = static_cast<int16_t>(m_articulo->Variedad());
            m_articulo->control().MostrarDetalle(article, variety);
        });
    }
    // Escape in the quantity: back to the article, to take another one.
    auto *back = new QShortcut(QKeySequence(Qt::Key_Escape), m_cantidad, nullptr, nullptr, Qt::WidgetShortcut);
    connect(back, &QShortcut::activated, m_articulo, qOverload<>(&QWidget::setFocus));
    showTotal();
}

void SalesForm::articleChosen()
{
    m_ready = false;
    const int decimals = m_articulo->Decimales();
    m_articleName->setText(m_articulo->Codigo() + QStringLiteral("  ") + m_articulo->Nombre());
    say(QString());

    // A scale label: the control found the article by the label's fixed part
    // and hands over the rest; the shop's rules say what it weighs or costs.
    // A label that does not read (a wrong check digit) sells nothing.
    std::optional<ScaleReading> label;
    const QString variable = m_articulo->CBVariable();
    if (m_articulo->CB() && !variable.isEmpty()) {
        const QString scanned = m_articulo->CBFija() + variable;
        label = decodeScaleLabel(scanned, variable, m_scaleRules).reading;
        if (!label) {
            refuse(text(Say::BadLabel, m_idioma).arg(scanned));
            return;
        }
    }

    // The price the control's list showed: the price type of its price list.
    std::optional<double> price;
    const auto priceType = priceTypeOfList(*m_connection, static_cast<int16_t>(m_articulo->Empresa()),
                                           static_cast<int16_t>(m_articulo->ListaPrecios()));
    try {
        if (priceType)
            price = unitPrice(*m_connection, m_articulo->ID(), static_cast<int16_t>(m_articulo->Variedad()), *priceType);
        if (!price)
            say(text(Say::NoPrice, m_idioma).arg(priceType.value_or(0)));
    } catch (const std::exception &error) {
        say(text(Say::PriceUnread, m_idioma).arg(QString::fromLocal8Bit(error.what())));
    }

    double quantity = m_articulo->CB() && m_articulo->CBCantidad() > 0 ? m_articulo->CBCantidad() : 1.0;
    if (label && label->kind == ScaleValue::Weight) {
        quantity = label->value;
        say(text(Say::Weight, m_idioma).arg(QLocale().toString(quantity, 'f', 3)));
    } else if (label) {
        quantity = 1;
        price = label->value;
        say(text(Say::Amount, m_idioma).arg(amountText(*price)));
    }
    m_cantidad->setText(QLocale().toString(quantity, 'f', std::max(decimals, quantity == int(quantity) ? 0 : 3)));
    m_precio->setText(price ? amountText(*price) : QString());
    m_ready = true;
    m_cantidad->setFocus();
    m_cantidad->selectAll();
}

void SalesForm::refuse(const QString &why)
{
    QApplication::beep();
    m_articleName->clear();
    say(why);
    // The text stays selected, so that the next scan replaces it.
    m_articulo->setFocus();
    if (auto *box = m_articulo->findChild<QLineEdit *>())
        box->selectAll();
}

void SalesForm::nothingTaken()
{
    const QString typed = m_articulo->Text().trimmed();
    NotTaken why = NotTaken::Elsewhere;
    try {
        why = whyNotTaken(*m_connection, static_cast<int16_t>(m_articulo->Empresa()), typed);
    } catch (const std::exception &) {
        // The control has said what failed through its Error event.
    }
    switch (why) {
    case NotTaken::Unknown: return refuse(text(Say::Unknown, m_idioma).arg(typed));
    case NotTaken::NotInUse: return refuse(text(Say::NotInUse, m_idioma).arg(typed));
    case NotTaken::NotForSale: return refuse(text(Say::NotForSale, m_idioma).arg(typed));
    case NotTaken::Elsewhere: return say(QString());
    }
}

void SalesForm::addLine()
{
    bool quantityOk = false;
    bool priceOk = false;
    const double quantity = QLocale().toDouble(m_cantidad->text(), &quantityOk);
    const double price = QLocale().toDouble(m_precio->text(), &priceOk);
    if (m_articulo->ID() <= 0 || !m_ready) {
        say(text(Say::Choose, m_idioma));
        m_articulo->setFocus();
        return;
    }
    if (!quantityOk || quantity <= 0) {
        say(text(Say::BadQuantity, m_idioma));
        m_cantidad->setFocus();
        return;
    }
    if (!priceOk || price < 0) {
        say(text(Say::BadPrice, m_idioma));
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

void SalesForm::say(const QString &line)
{
    m_status->setText(line);
}

QString SalesForm::status() const
{
    return m_status->text();
}

} // namespace demo
