#pragma once

// The smallest host that lets the wizard open: shared properties with the host property string
// and a form font loader. The card services are not there yet, so the wizard's commands report
// that they cannot reach them.
namespace FixedAssets {
void registerStandInHost();
} // namespace FixedAssets
