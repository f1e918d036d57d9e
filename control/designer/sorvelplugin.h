// The Qt Designer plugin that puts Sorvel in Designer's widget box.
#ifndef FERROLINK_SORVELPLUGIN_H
#define FERROLINK_SORVELPLUGIN_H

#include <QObject>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>

// Offers the Ferrolink control in Qt Designer's widget box, group
// "Ferrolink". On a form being designed the control shows its 34 x 34
// picture, with its usage as tooltip; at run time it stays invisible.
class SorvelPlugin : public QObject, public QDesignerCustomWidgetInterface
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.qt-project.Qt.QDesignerCustomWidgetInterface")
    Q_INTERFACES(QDesignerCustomWidgetInterface)

public:
    explicit SorvelPlugin(QObject *parent = nullptr);

    QString name() const override;
    QString group() const override;
    QString toolTip() const override;
    QString whatsThis() const override;
    QString includeFile() const override;
    QIcon icon() const override;
    bool isContainer() const override;
    QWidget *createWidget(QWidget *parent) override;
    bool isInitialized() const override;
    void initialize(QDesignerFormEditorInterface *core) override;
    QString domXml() const override;

private:
    bool m_initialized = false;
};

#endif
