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

    // The language of the status line: 2 English, any other Spanish (the
    // host's Idioma).
    void setLanguage(int idioma) { m_idioma = idioma; }
    QString status() const;

signals:
    void lineAdded(int row);

private:
    void articleChosen();
    // The control found no article for the text on Enter: say why.
    void nothingTaken();
    // The article held cannot be sold as read: say why and stay on it.
    void refuse(const QString &why);
    void addLine();
    void startNextLine();
    void showTotal();
    void say(const QString &text);

    std::shared_ptr<rdo::rdoConnection> m_connection;
    std::vector<ScaleRule> m_scaleRules;
    int m_idioma = 1;
    // The article held has been read into the quantity and the price.
    bool m_ready = false;
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
