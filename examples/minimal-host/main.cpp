// Registers a card service of its own and runs the wizard's check, offscreen:
//     QT_QPA_PLATFORM=offscreen ./minimal-host
#include <QAbstractButton>
#include <QApplication>
#include <QTimer>

#include <AllocFix/AllocFixVersion.h>
#include <AllocFix/CardServices.h>
#include <AllocFix/DesktopServices.h>
#include <AllocFix/ErrorRecord.h>
#include <AllocFix/ObjectRegistry.h>
#include <AllocFix/ProgIds.h>
#include <AllocFix/RecordFields.h>
#include <AllocFix/ShowUpdate.h>
#include <cstdio>

static_assert(ALLOCFIX_VERSION >= ALLOCFIX_VERSION_CHECK(1, 0, 0));

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

// The least of the desktop: the forms keep Qt's font, and the property string names the language.
class Fonts : public QObject, public IFormFontLoader {
    Q_OBJECT
    Q_INTERFACES(AllocFix::IFormFontLoader)
public:
    void SetFrmFont(QWidget *, QString &) override {}
};
class Properties : public QObject, public ISharedProperties {
    Q_OBJECT
    Q_INTERFACES(AllocFix::ISharedProperties)
public:
    QVariant GetProperty(qint32 &, QString &) override { return QStringLiteral("Language=ENG;"); }
};

template<class Service>
void registerService(const QString &progId)
{
    ObjectRegistry::instance().registerClass(progId, [] { return std::make_unique<Service>(); });
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    registerService<FakeCardInfo>(ProgId::CardInfo);
    registerService<Fonts>(ProgId::FormFontLoader);
    registerService<Properties>(ProgId::ShareProps);
    // Once the wizard is up: on to its second page, press the check button, then close it.
    QTimer::singleShot(200, &app, [] {
        QWidget *wizard = QApplication::activeModalWidget();
        if (!wizard)
            return;
        for (const char *button : {"btNext", "btCheckCard"}) {
            if (auto *found = wizard->findChild<QAbstractButton *>(button))
                found->click();
        }
        wizard->close();
    });
    try {
        auto update = ObjectRegistry::instance().create(ProgId::ShowUpdate);
        QMetaObject::invokeMethod(update.get(), "ShowExportFrm");
        std::printf("checks=%d UpdateResult=%d\n", FakeCardInfo::checks,
                    update->property("UpdateResult").toInt());
    } catch (const Failure &failure) {
        std::fprintf(stderr, "%s\n", qUtf8Printable(failure.description()));
    }
    return FakeCardInfo::checks == 1 ? 0 : 1;
}

#include "main.moc"
