#pragma once

#include <QQuickWidget>
#include <QVariant>

class SettingsStore;

// The scene host and the scene's one door to the native side (`ui_View`).
// Its slots are the operations the scene may call; they stay thin and
// delegate to the store and the device link.
class myQQuickView : public QQuickWidget
{
    Q_OBJECT
public:
    enum class Delivery { Queued, Synchronous };

    explicit myQQuickView(QWidget *parent = nullptr);
    ~myQQuickView() override;

    SettingsStore *store() const { return m_store; }

    // Calls the function `name` of the scene's root item with `args`. A
    // queued call runs when control returns to the GUI thread's event loop
    // (and may be requested from any thread); a synchronous call runs before
    // this returns. A function the scene does not define is silently ignored.
    void invokeScene(const char *name, const QVariantList &args = {},
                     Delivery delivery = Delivery::Queued);

public slots:
    void initUI();
    void runUI();
    void setBusy(int busyTime);
    void setCurrentDPI(int dpiValue);

    // Settings by key.
    QVariant getData(QVariant key, bool isRecovery);
    QVariant getGlobalData(QVariant key);
    QVariantList getDataList(QVariant key, bool isRecovery);
    void setData(QVariant key, QVariant data);
    void setGlobalData(QVariant key, QVariant tmpdata);
    void setDataList(QVariant key, QVariantList datalist);
    void resetApconfig();

    // Localised texts of one group of the language file `langCode`.
    QStringList getLangStrings(QString typeStr, QString langCode);

protected:
    void focusInEvent(QFocusEvent *event) override;

private:
    void callSceneNow(const QByteArray &name, const QVariantList &args);

    SettingsStore *m_store = nullptr;
};
