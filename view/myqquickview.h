#pragma once

#include <QQuickWidget>
#include <QVariant>
#include <array>

class Hid_Thread;
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

    // The device link of the main window.
    void setDeviceLink(Hid_Thread *link) { m_hid = link; }
    Hid_Thread *deviceLink() const { return m_hid; }

    // Family 560 keeps each device profile as a 128-byte block: the view's
    // image of device profile n (0 to 4).
    static constexpr int deviceProfileCount = 5;
    static constexpr int deviceProfileSize = 128;
    QByteArray deviceProfile(int n) const;

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

    // Device operations.
    void clearHidBusy();
    void mouseReadProfile(uint profileNo);

    // Settings by key.
    QVariant getData(QVariant key, bool isRecovery);
    QVariant getGlobalData(QVariant key);
    QVariantList getDataList(QVariant key, bool isRecovery);
    void setData(QVariant key, QVariant data);
    void setGlobalData(QVariant key, QVariant tmpdata);
    void setDataList(QVariant key, QVariantList datalist);
    void resetApconfig();

protected:
    void focusInEvent(QFocusEvent *event) override;

private:
    void callSceneNow(const QByteArray &name, const QVariantList &args);

    SettingsStore *m_store = nullptr;
    Hid_Thread *m_hid = nullptr;
    std::array<std::array<uchar, deviceProfileSize>, deviceProfileCount> m_deviceProfiles{};
};
