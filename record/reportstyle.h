// The style sheet of the race report: readable on a phone (tables scroll
// sideways instead of squeezing), and on A4 paper with the racers' colours
// kept and no lap table split across a page.
#pragma once

#include <string_view>

inline constexpr std::string_view kReportStyle = R"css(
:root{--ink:#1b1b1b;--muted:#5d5d5d;--rule:#d8d8d8;--best:#fff1bf}
*{box-sizing:border-box}
body{font-family:"DejaVu Sans","Liberation Sans",Arial,sans-serif;color:var(--ink);line-height:1.4;margin:0 auto;max-width:62rem;padding:1rem}
h1{font-size:1.6rem;margin:.2rem 0 .6rem}
h2{font-size:1.25rem;margin:1.6rem 0 .5rem;border-bottom:2px solid var(--ink)}
h3{font-size:1rem;margin:.2rem 0}
dl.race{display:grid;grid-template-columns:max-content 1fr;gap:.1rem 1rem;margin:0}
dl.race dt{color:var(--muted)}
dl.race dd{margin:0;font-weight:bold}
.banner{border:2px solid #b00020;background:#fdecee;padding:.5rem .8rem;margin:.8rem 0}
.note{color:var(--muted);font-size:.9rem}
.scroll{overflow-x:auto;-webkit-overflow-scrolling:touch}
table{border-collapse:collapse;width:100%;font-variant-numeric:tabular-nums}
th,td{padding:.25rem .5rem;border-bottom:1px solid var(--rule);text-align:right;white-space:nowrap}
th{font-size:.85rem;color:var(--muted);font-weight:normal}
th.name,td.name,td.event{text-align:left;white-space:normal}
.swatch{display:inline-block;width:.8em;height:.8em;border-radius:50%;margin-right:.4em}
.swatch,tr.fastest td{-webkit-print-color-adjust:exact;print-color-adjust:exact}
tr.best td{font-weight:bold}
.mark{font-size:.75em;font-weight:bold;padding:0 .3em;border-radius:.3em;background:var(--rule)}
tr.fastest td{background:var(--best)}
ul.legend{list-style:none;padding:0;margin:.3rem 0;display:flex;flex-wrap:wrap;gap:.3rem 1.2rem}
figure{margin:0}
svg.chart{display:block;width:100%;height:auto;font-size:13px}
svg.chart .grid{stroke:#e6e6e6}
svg.chart .axis,svg.chart .tick{stroke:#8a8a8a}
svg.chart text{fill:#444}
svg.chart polyline{stroke-width:2;stroke-linejoin:round;stroke-linecap:round}
.lap-tables{display:grid;grid-template-columns:repeat(auto-fill,minmax(16rem,1fr));gap:1rem 2rem}
.standings td.name{white-space:nowrap}
@media (max-width:40rem){body{padding:.5rem}th,td{padding:.2rem .3rem}h1{font-size:1.3rem}svg.chart{min-width:32rem}}
@media print{
@page{size:A4;margin:12mm}
body{max-width:none;padding:0;font-size:9.5pt}
.scroll{overflow:visible}
h2{break-after:avoid}
figure,.racer-laps,tr{break-inside:avoid}
.lap-tables{grid-template-columns:repeat(3,1fr)}
}
)css";
