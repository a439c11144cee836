// The live board: one WebSocket to the program, which pushes the whole race
// state on every change; the page redraws from it, marks the rows of cars
// that just counted a lap and the lap that beat a personal best or the track
// record, and reconnects by itself when the program is gone.
"use strict";

const PHASES = { before: "Před startem", countdown: "Odpočet", race: "Závod běží", finished: "Závod skončil" };
// The meanings of the table's flag pictures.
const FLAGS = {
  "0": "diskvalifikace", "1": "v závodě", "2": "v cíli",
  "3": "mimo dráhu 3×", "4": "mimo dráhu 2×", "5": "mimo dráhu 1×",
  "6": "málo paliva", "7": "prázdná nádrž",
};
// The server decides which lap beat a best; the page only names it.
const LAP_MARKS = { personal: "nový osobní rekord", record: "nový rekord dráhy" };
const TANK_BARS = 8;
const LAP_MARK_MS = 2000;

const seenLaps = new Map();
const lapMarkedAt = new Map();

function element(tag, className, text) {
  const node = document.createElement(tag);
  if (className) node.className = className;
  if (text !== undefined) node.textContent = text;
  return node;
}

function labelled(label, value) {
  const span = element("span", "", label + " ");
  span.appendChild(element("b", "", value));
  return span;
}

function gauge(tankText) {
  const level = Math.min(TANK_BARS, Math.max(0, parseInt(tankText, 10) || 0));
  const bars = element("span", "gauge");
  bars.setAttribute("aria-label", "nádrž " + level + " z " + TANK_BARS);
  for (let bar = 1; bar <= TANK_BARS; ++bar) {
    const lit = bar <= level ? " on" + (bar <= 2 ? " low" : bar === 3 ? " mid" : "") : "";
    bars.appendChild(element("i", lit.trim()));
  }
  return bars;
}

function racerRow(racer) {
  const row = element("section", "racer");
  row.dataset.seat = racer.seat;
  row.appendChild(element("div", "pos", racer.position));
  row.appendChild(element("div", "name", racer.name));
  row.appendChild(element("div", "laps", racer.laps));
  const times = element("div", "times");
  const last = labelled("poslední", racer.lastLap);
  if (LAP_MARKS[racer.lapMark])
    last.appendChild(element("em", "mark " + racer.lapMark, LAP_MARKS[racer.lapMark]));
  times.appendChild(last);
  times.appendChild(labelled("nejlepší", racer.bestLap));
  if (racer.personalBest) times.appendChild(labelled("osobní rekord", racer.personalBest.time));
  times.appendChild(labelled("ztráta", racer.gap));
  row.appendChild(times);
  const state = element("div", "state");
  const tank = element("span", "", "nádrž ");
  tank.appendChild(gauge(racer.tank));
  state.appendChild(tank);
  state.appendChild(element("span", "flag-" + racer.flag, FLAGS[racer.flag] || racer.flag));
  row.appendChild(state);

  const before = seenLaps.get(racer.seat);
  seenLaps.set(racer.seat, racer.laps);
  // Only a lap counted marks the row; a program started again begins at 0.
  if (before !== undefined && Number(racer.laps) > Number(before)) lapMarkedAt.set(racer.seat, performance.now());
  // A redraw while the mark fades continues its animation where it was.
  const sinceLap = performance.now() - (lapMarkedAt.get(racer.seat) ?? -Infinity);
  if (sinceLap < LAP_MARK_MS) {
    row.classList.add("lap");
    row.style.animationDelay = -sinceLap + "ms";
    row.addEventListener("animationend", () => row.classList.remove("lap"));
  }
  return row;
}

function show(state) {
  if (!state.racers) return; // the program has no race yet
  document.getElementById("clock").textContent = state.clock;
  document.getElementById("phase").textContent = PHASES[state.phase] || state.phase;
  document.getElementById("laps-per-ride").textContent = "kol: " + state.lapsPerRide;
  const fastest = document.getElementById("fastest");
  fastest.hidden = !state.fastestLap;
  if (state.fastestLap)
    fastest.textContent = "Nejrychlejší kolo: " + state.fastestLap.name + " " + state.fastestLap.time
      + " (" + state.fastestLap.speed + " km/h)";
  const record = document.getElementById("track-record");
  record.hidden = !state.trackRecord;
  if (state.trackRecord)
    record.textContent = "Rekord dráhy: " + state.trackRecord.name + " " + state.trackRecord.time;
  document.getElementById("racers").replaceChildren(...state.racers.map(racerRow));
}

function connect(retryMs) {
  const scheme = location.protocol === "https:" ? "wss://" : "ws://";
  const socket = new WebSocket(scheme + location.host + "/api/live");
  const offline = document.getElementById("offline");
  socket.onopen = () => { offline.hidden = true; retryMs = 500; };
  socket.onmessage = (message) => show(JSON.parse(message.data));
  socket.onclose = () => {
    offline.hidden = false;
    setTimeout(() => connect(Math.min(retryMs * 2, 5000)), retryMs);
  };
}

connect(500);
