#include "worksheet/Worksheet.h"

#include "desktop/ResourceLoader.h"
#include "host/MMTS.h"
#include "records/FieldValue.h"

#include <QMap>

#include <cmath>

using namespace Qt::StringLiterals;

namespace FixedAssets::Worksheet {

namespace {

// The headers' own texts, localised as list column headers.
const QMap<Kind, QString> &headerTexts()
{
    static const QMap<Kind, QString> texts{
        {Kind::Position, u"序号"_s},      {Kind::AssetNumber, u"资产编码"_s},
        {Kind::AssetName, u"资产名称"_s}, {Kind::Departments, u"使用部门及比例"_s},
        {Kind::OldAccount, u"原科目"_s},  {Kind::OldItems, u"原核算项目"_s},
        {Kind::OldRate, u"原比例(%)"_s},  {Kind::Department, u"分配部门"_s},
        {Kind::Account, u"科目编码"_s},   {Kind::Item, u"核算项目(%1)"_s},
        {Kind::Rate, u"分配比例(%)"_s},   {Kind::CheckCode, u"校验码"_s},
    };
    return texts;
}

Column column(Kind kind, int width)
{
    return {kind, 0, AllocFix::MMTS::LoadLangString2(headerTexts().value(kind)), width};
}

} // namespace

QList<Column> columns(const QList<ReferenceData::ItemClass> &itemClasses)
{
    QList<Column> list{
        column(Kind::Position, 6),     column(Kind::AssetNumber, 12), column(Kind::AssetName, 16),
        column(Kind::Departments, 30), column(Kind::OldAccount, 22),  column(Kind::OldItems, 28),
        column(Kind::OldRate, 10),     column(Kind::Department, 14),  column(Kind::Account, 12)};
    const QString itemHeader = AllocFix::MMTS::LoadLangString2(headerTexts().value(Kind::Item));
    for (const ReferenceData::ItemClass &itemClass : itemClasses)
        list.append({Kind::Item, itemClass.id, itemHeader.arg(itemClass.name), 14});
    list << column(Kind::Rate, 12) << column(Kind::CheckCode, 32);
    return list;
}

QStringList knownHeaders(Kind kind)
{
    const QString text = headerTexts().value(kind);
    QStringList headers{text};
    const QStringList languages = ResourceLoader::languages();
    for (const QString &language : languages) {
        ResourceLoader loader;
        loader.setResFileBaseName(u"ulm"_s);
        loader.setLanguageID(language);
        if (const std::optional<QString> translated =
                loader.find(text, ResourceLoader::Lookup::ColumnHeader))
            headers.append(*translated);
    }
    return headers;
}

QString sheetName(const QString &chineseName)
{
    return AllocFix::MMTS::LoadLangString(chineseName);
}

} // namespace FixedAssets::Worksheet
