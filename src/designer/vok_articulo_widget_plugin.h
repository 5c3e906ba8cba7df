#pragma once
// The Qt Designer plugin of vokArticuloWidget: the control in Designer's
// widget box, placed on a form as a new instance, with its design-time
// properties in the property editor.
//
// Designer writes into the .ui file only the properties a user changed from
// the value the widget was created with. A widget made here is a new instance
// (the control's InitProperties), whose values are the stored form's
// defaults; so a property left at its default stays out of the .ui file just
// as it stays out of a form file, and a .ui file loads back, through QUiLoader
// or uic, to what the form file would have given.

#include <QtUiPlugin/QDesignerCustomWidgetInterface>

#include <QObject>

class vokArticuloWidgetPlugin : public QObject, public QDesignerCustomWidgetInterface {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.qt-project.Qt.QDesignerCustomWidgetInterface")
    Q_INTERFACES(QDesignerCustomWidgetInterface)

public:
    explicit vokArticuloWidgetPlugin(QObject *parent = nullptr);

    QString name() const override;
    QString group() const override;
    QString toolTip() const override;
    QString whatsThis() const override;
    QString includeFile() const override;
    QIcon icon() const override;
    bool isContainer() const override;
    QString domXml() const override;

    // In Designer (initialised with its form editor) the control is in design
    // mode; created for a form that runs (QUiLoader) it runs.
    QWidget *createWidget(QWidget *parent) override;
    bool isInitialized() const override;
    void initialize(QDesignerFormEditorInterface *core) override;

private:
    bool m_initialized = false;
    bool m_inDesigner = false;
};
