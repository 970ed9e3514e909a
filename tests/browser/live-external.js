// The assistant's external object for pages on the live host, injected into
// every frame before the page scripts run. RUVSysCall is answered by the
// host's dispatch (a synchronous request, as the real call is synchronous);
// the top frame fetches the worker's results one at a time and calls the
// named frame's function with them, acknowledging each only after the call
// has returned, the way the worker waits in its synchronous send.
"use strict";

function installLiveExternal(config) {
    var topWin;
    try {
        topWin = window.top;
    } catch (e) {
        topWin = window;
    }
    function setExternal(w, ext) {
        Object.defineProperty(w, "external", { value: ext, configurable: true, writable: false });
    }
    if (topWin !== window) {
        try {
            if (topWin.__liveExternal) setExternal(window, topWin.__liveExternal);
        } catch (e) {
        }
        return;
    }

    // How the browser hands the id over: an integer, a double, or another
    // type that the bridge converts to an integer where it can (true is -1,
    // a text of digits its number); the pages never pass anything but numbers.
    function commandId(v) {
        if (typeof v === "number") {
            if (v === (v | 0)) return { kind: "int", value: String(v | 0) };
            return { kind: "double", value: String(v) };
        }
        if (typeof v === "boolean") return { kind: "int", value: v ? "-1" : "0" };
        if (typeof v === "string" && /^\s*-?\d{1,9}\s*$/.test(v)) return { kind: "int", value: String(parseInt(v, 10)) };
        return { kind: "other", value: "0" };
    }

    function RUVSysCall(cmd, args) {
        var id = commandId(cmd), req = new XMLHttpRequest(), answer;
        req.open("POST", config.base + "__live/call", false);
        req.setRequestHeader("Content-Type", "application/json");
        req.send(JSON.stringify({ kind: id.kind, value: id.value, args: typeof args === "string" ? args : null }));
        if (req.status !== 200) throw new Error("live host: " + req.status + " " + req.responseText);
        answer = JSON.parse(req.responseText);
        return answer.answered ? answer.text : undefined;
    }
    RUVSysCall.valueOf = function () { return true; };
    RUVSysCall.toString = function () { return "true"; };

    var external = new Proxy({}, {
        get: function (target, name) {
            if (name === "RUVSysCall") return RUVSysCall;
            if (typeof name === "symbol") return undefined;
            throw new TypeError("Object doesn't support property or method '" + String(name) + "'");
        },
        has: function (target, name) {
            return name === "RUVSysCall";
        }
    });

    // From the top document through frames looked up by name, then the
    // function of the last document; null when any step finds nothing.
    function resolve(frames, fnName) {
        var doc = document, win = window, i, els, j, found;
        for (i = 0; i < frames.length; i++) {
            found = null;
            els = doc.querySelectorAll("iframe, frame");
            for (j = 0; j < els.length; j++) {
                if (els[j].getAttribute("name") === frames[i] || els[j].id === frames[i]) {
                    found = els[j];
                    break;
                }
            }
            if (!found || !found.contentWindow || !found.contentWindow.document) return null;
            win = found.contentWindow;
            doc = win.document;
        }
        return typeof win[fnName] === "function" ? { win: win, fn: win[fnName] } : null;
    }

    var delivered = [];
    function deliver(item) {
        var target = resolve(item.frames, item.fn), outcome = "called";
        if (!target) {
            outcome = "no function";
        } else {
            try {
                target.fn.call(target.win, item.code, item.second);
            } catch (e) {
                outcome = "error: " + (e && e.message);   // dropped, as the bridge drops it
            }
        }
        delivered.push({ seq: item.seq, code: item.code, second: item.second, outcome: outcome });
    }

    function poll(ack) {
        fetch(config.base + "__live/next" + (ack === null ? "" : "?ack=" + ack), { cache: "no-store" })
            .then(function (r) { return r.json(); })
            .then(function (item) {
                if (item.seq === undefined) return poll(null);
                deliver(item);
                poll(item.seq);
            }, function () {
                setTimeout(function () { poll(ack); }, 200);   // the page is going away, or the host stopped
            });
    }

    Object.defineProperty(window, "__liveExternal", { value: external, configurable: true });
    Object.defineProperty(window, "__liveDelivered", { value: delivered, configurable: true });
    setExternal(window, external);
    poll(null);
}

module.exports = { installLiveExternal: installLiveExternal };
