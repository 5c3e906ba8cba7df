#pragma once
// The sales-entry form: the article-entry control, a quantity and a price,
// and the lines entered so far. The cashier's flow is the keyboard's: Enter on
// the control (once it holds an article) moves to the quantity, Enter there
// to the price, Enter on the price adds the line and goes back to the control.

#include "scale_barcode.h"

#include <QWidget>

#include <memory>
#include <vector>

class QLabel;
class QLineEdit;
class QTableWidget;
class vokArticuloWidget;

namespace rdo {
class rdoConnection;
}

namespace demo {

class SalesForm : public QWidget {
    Q_OBJECT

public:
    SalesForm(std::shared_ptr<rdo::rdoConnection> connection, std::vector<ScaleRule> scaleRules,
              QWidget *parent = nullptr);

    vokArticuloWidget &articulo() const { return *m_articulo; }
    QLineEdit &cantidad() const { return *m_cantidad; }
    QLineEdit &precio() const { return *m_precio; }
    QTableWidget &lineas() const { return *m_lineas; }

    // The price type whose prices fill the price field (the control's list
    // shows the same one).
    void setPriceType(int16_t priceType) { m_priceType = priceType; }

signals:
    void lineAdded(int row);

private:
    void articleChosen();
    void addLine();
    void startNextLine();
    void showTotal();
    void say(const QString &text);

    std::shared_ptr<rdo::rdoConnection> m_connection;
    std::vector<ScaleRule> m_scaleRules;
    int16_t m_priceType = 1;
    vokArticuloWidget *m_articulo = nullptr;
    QLineEdit *m_cantidad = nullptr;
    QLineEdit *m_precio = nullptr;
    QTableWidget *m_lineas = nullptr;
    QLabel *m_articleName = nullptr;
    QLabel *m_status = nullptr;
    QLabel *m_total = nullptr;
    double m_totalAmount = 0;
};

} // namespace demo
