// Registers a card service of its own and runs the wizard's check, offscreen:
//     QT_QPA_PLATFORM=offscreen ./minimal-host
#include "contracts/CardServices.h"
#include "entry/ShowUpdate.h"
#include "host/ObjectRegistry.h"
#include "host/ProgIds.h"
#include "records/RecordFields.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTimer>

#include <cstdio>

using namespace AllocFix;

// Three cards to adjust, one of them by hand; the wizard asks nothing else before its check.
class FakeCardInfo : public QObject, public ICardInfo {
    Q_OBJECT
    Q_INTERFACES(AllocFix::ICardInfo)
public:
    static inline int checks = 0;
    FieldRecord CheckDataForUpDate(const QString &) override
    {
        ++checks;
        FieldRecord result = FieldRecord::create();
        result.setValue(Fields::Total, 3);
        result.setValue(Fields::Manual, 1);
        return result;
    }
    RecordList GetDept(const QString &, qint32 &) override { return {}; }
    RecordList GetExpense(const QString &, qint32 &) override { return {}; }
    FieldRecord GetCardInf(const QString &, qint32 &) override { return FieldRecord::create(); }
    FieldRecord GetDetail(const QString &, qint32 &) override { return FieldRecord::create(); }
};

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    ObjectRegistry::instance().registerClass(ProgId::CardInfo,
                                             [] { return std::make_unique<FakeCardInfo>(); });
    // Once the wizard is up: press its check button, then close it.
    QTimer::singleShot(200, &app, [] {
        QWidget *wizard = QApplication::activeModalWidget();
        if (auto *check = wizard ? wizard->findChild<QAbstractButton *>("btCheckCard") : nullptr)
            check->click();
        if (wizard)
            wizard->close();
    });
    auto update = ObjectRegistry::instance().create(ProgId::ShowUpdate);
    QMetaObject::invokeMethod(update.get(), "ShowExportFrm");
    std::printf("checks=%d UpdateResult=%d\n", FakeCardInfo::checks,
                update->property("UpdateResult").toInt());
    return FakeCardInfo::checks == 1 ? 0 : 1;
}

#include "main.moc"
