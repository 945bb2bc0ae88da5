// chart_style.cpp - colours, faces and print rules.  The colours tell the
// levels apart in print as well as on screen: black for plain and Shift,
// blue for the AltGr levels, amber cells for dead keys, violet names for
// characters that do not print.
#include "chart/chart_style.h"

namespace wendol::chart {

const char *font_families()
{
    return "\"DejaVu Sans\", \"Noto Sans\", Unifont, sans-serif";
}

std::string drawing_style()
{
    return std::string(".chart { font-family: ") + font_families() + "; }" + R"(
.chart .paper { fill: #ffffff; }
.chart .title { fill: #1a1a1a; font-weight: bold; }
.chart .subtitle { fill: #555555; }
.chart .cap { fill: #fbfaf6; stroke: #8c8c8c; stroke-width: 1; }
.chart .key.lit .cap { fill: #e1f3e1; stroke: #3c8c4a; }
.chart .led { fill: #2f9e44; }
.chart .level { fill: #161616; }
.chart .level.altgr, .chart .level.altgr-shift { fill: #1c4f9c; }
.chart .level.named { fill: #6a4c9c; letter-spacing: 0.02em; }
.chart .level.dead { fill: #4a2800; }
.chart .level.caps { fill: #1f7a3a; }
.chart .level.via-vk { font-style: italic; }
.chart .dead-cell { fill: #f4c14f; stroke: #b5851b; stroke-width: 0.8; }
.chart .caps-mark { fill: #1f7a3a; }
.chart .caption { fill: #767676; }
.chart .legend { fill: #333333; }
.chart .legend .level { fill: #161616; }
)";
}

std::string page_style()
{
    return std::string("html { font-family: ") + font_families() + "; }" + R"(
@page { size: A4 landscape; margin: 9mm; }
html { color: #1a1a1a; background: #ffffff; }
body { margin: 14px 18px; }
.view { margin: 0 0 18px; }
.view svg { display: block; width: 100%; height: auto; }
.view.keypad svg { width: 62%; }
.dead-keys h2 { font-size: 17px; margin: 8px 0 4px; }
.dead-keys > p { font-size: 12px; color: #555555; margin: 0 0 10px; }
.dead-group { margin: 0 0 14px; break-inside: avoid; page-break-inside: avoid; }
.dead-group h3 { font-size: 14px; margin: 0 0 2px; break-after: avoid; page-break-after: avoid; }
.dead-group .where { font-size: 11.5px; color: #444444; margin: 0 0 4px; }
.dead-mark { display: inline-block; min-width: 1em; text-align: center; line-height: 1.25; background: #f4c14f; border: 1px solid #b5851b; border-radius: 3px; padding: 0 4px; }
kbd { font-family: inherit; font-size: 11px; background: #f6f6f3; border: 1px solid #b9b9b9; border-radius: 3px; padding: 0 4px; }
.count { font-size: 11px; font-weight: normal; color: #777777; }
table.compositions { border-collapse: collapse; width: 100%; table-layout: fixed; font-size: 12px; }
table.compositions td { padding: 1px 4px; border-bottom: 1px solid #e6e6e6; white-space: nowrap; overflow: hidden; }
table.compositions td.base { width: 9%; }
table.compositions td.arrow { width: 3%; color: #999999; text-align: center; }
table.compositions td.result { width: 13%; }
.ch { font-size: 15px; }
.named { font-size: 9px; color: #6a4c9c; }
.cp { font-size: 9.5px; color: #777777; }
@media print {
  body { margin: 0; }
  .view { break-after: page; page-break-after: always; margin: 0; }
  .view svg { max-height: 178mm; }
  .view.keypad svg { width: auto; max-width: 100%; }
  .dead-keys h2 { margin-top: 0; }
}
)";
}

}  // namespace wendol::chart
