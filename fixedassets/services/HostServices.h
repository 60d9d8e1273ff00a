#pragma once

// The host system's one entry point for programs and tests: registers every outside object the
// component creates (card, item and account services, lookups, card viewer, error reporter,
// shared properties, resource loader, language information, form fonts, help, settings store)
// in AllocFix::ObjectRegistry, replacing what was registered under the same ProgIDs. A run on a
// real account set:
//
//     const QString location = FixedAssets::createDemoAccountSet(u"sqlite:/tmp/set.fa"_s, 12);
//     FixedAssets::registerHostServices();
//     FixedAssets::publishPropsString(u"Language=CHS;AcctSet="_s + location + u';');
//     AllocFix::ShowUpdate().ShowExportFrm();
//
// (createDemoAccountSet: accountset/DemoData.h; publishPropsString: desktop/SharedProperties.h)
namespace FixedAssets {

void registerHostServices();

} // namespace FixedAssets
