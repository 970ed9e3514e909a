// Stand-in for the assistant's external object, injected into every frame
// before the page scripts run. It keeps the host's contract:
//  - reading window.external.RUVSysCall gives a value that is not null and
//    compares equal to true; any other member name raises an error;
//  - the call maps the command to ScriptFunction exactly as the host's
//    dispatcher does, returns "" or "PARM ERR" and always starts a "worker";
//    while a worker still has reports to give, a command changes nothing,
//    starts nothing and is answered "BUSY" ("PARM ERR" when unrecognised);
//  - the worker replays a recorded run: each (code, second) pair is handed,
//    in order and one task at a time, to the function that ScriptFunction
//    names, resolved from the top document through frames by name; a missing
//    frame or function, or an error inside it, drops that report silently.
// Only the top frame owns state; inner frames share its external object.
"use strict";

function installHost(config) {
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
            if (topWin.__ruvExternal) {
                setExternal(window, topWin.__ruvExternal);
            }
        } catch (e) {
        }
        return;
    }

    var COMMANDS = { 1: "mainframe1.addResult", 2: "mainframe2.addResult", 3: "mainframe3.addResult", 4: "mainframe.addResult" };
    var REPAIRS = { NXIE: "mainframe3.addResult", NXCT: "mainframe2.addResult", NXKEY: "mainframe1.addResult" };

    var host = {
        calls: [],
        delivered: [],
        queue: [],
        scriptFunction: "",
        busy: 0,
        command: 0,
        workerStarted: 0,
        notFirstRun: 0,
        hold: !!config.hold,
        stepMs: config.stepMs || 0,
        runs: config.runs || {},
        releaseWaiters: []
    };

    // The dispatcher takes an integer, truncates a double, and reads other
    // types through their value field; the pages only ever pass numbers.
    function commandId(v) {
        if (typeof v === "number") {
            return isFinite(v) ? (v < 0 ? Math.ceil(v) : Math.floor(v)) | 0 : 0;
        }
        if (typeof v === "boolean") {
            return v ? -1 : 0;
        }
        return NaN;
    }

    function resolve(pathText) {
        var parts = String(pathText).split("."), doc = document, i, name, win, els, j, found;
        for (i = 0; i < parts.length - 1; i++) {
            name = parts[i];
            found = null;
            els = doc.querySelectorAll("iframe, frame");
            for (j = 0; j < els.length; j++) {
                if (els[j].getAttribute("name") === name || els[j].id === name) {
                    found = els[j];
                    break;
                }
            }
            if (!found || !found.contentWindow || !found.contentWindow.document) {
                return { error: "no frame " + name };
            }
            win = found.contentWindow;
            doc = win.document;
        }
        win = doc.defaultView;
        if (!win || typeof win[parts[parts.length - 1]] !== "function") {
            return { error: "no function " + pathText };
        }
        return { fn: win[parts[parts.length - 1]], win: win };
    }

    function deliverOne() {
        var item = host.queue.shift(), target, record;
        if (!item) {
            return false;
        }
        record = { code: item[0], second: item[1], to: host.scriptFunction, result: "called" };
        target = resolve(host.scriptFunction);
        if (target.error) {
            record.result = target.error;
        } else {
            try {
                target.fn.call(target.win, String(item[0]), String(item[1]));
            } catch (e) {
                record.result = "error: " + (e && e.message);
            }
        }
        host.delivered.push(record);
        if (host.queue.length === 0) {
            host.busy = 0;
        }
        return true;
    }

    function pump(count, done) {
        if (count <= 0 || host.queue.length === 0) {
            if (done) done(host.delivered.length);
            return;
        }
        setTimeout(function () {
            deliverOne();
            pump(count - 1, done);
        }, host.stepMs);
    }

    // Results arrive after the call has returned, like the worker's
    // synchronous sends that the window thread handles once it is free.
    function startWorker(run) {
        var i;
        for (i = 0; i < run.length; i++) {
            host.queue.push([run[i][0], run[i][1]]);
        }
        if (!host.hold) {
            pump(Infinity);
        }
    }

    function RUVSysCall(cmd, args) {
        var id = commandId(cmd), text = args === undefined ? "" : String(args), ret = "", run;
        if (host.queue.length > 0) {
            ret = COMMANDS.hasOwnProperty(id) || id === 10 ? "BUSY" : "PARM ERR";
            host.calls.push({ cmd: cmd, id: id, args: text, argc: arguments.length, ret: ret, refused: true,
                scriptFunction: host.scriptFunction, notFirstRun: host.notFirstRun });
            return ret;
        }
        host.busy = 1;
        host.command = id;
        if (COMMANDS.hasOwnProperty(id)) {
            host.scriptFunction = COMMANDS[id];
        } else if (id === 10) {
            host.scriptFunction = REPAIRS.hasOwnProperty(text) ? REPAIRS[text] : "mainframe.addResult";
        } else {
            ret = "PARM ERR";
        }
        host.notFirstRun = host.workerStarted ? 1 : 0;
        host.workerStarted = 1;
        host.calls.push({ cmd: cmd, id: id, args: text, argc: arguments.length, ret: ret,
            scriptFunction: host.scriptFunction, notFirstRun: host.notFirstRun });
        run = ret === "" ? (host.runs[id + ":" + text] || host.runs[String(id)] || []) : [];
        startWorker(run);
        return ret;
    }

    RUVSysCall.valueOf = function () { return true; };
    RUVSysCall.toString = function () { return "true"; };

    var external = new Proxy({}, {
        get: function (target, name) {
            if (name === "RUVSysCall") {
                return RUVSysCall;
            }
            if (typeof name === "symbol") {
                return undefined;
            }
            throw new TypeError("Object doesn't support property or method '" + String(name) + "'");
        },
        has: function (target, name) {
            return name === "RUVSysCall";
        }
    });

    // Test controls.
    host.release = function (count) {
        return new Promise(function (resolveDone) {
            pump(count === undefined ? Infinity : count, resolveDone);
        });
    };
    host.setRun = function (key, run) {
        host.runs[key] = run;
    };
    host.setHold = function (on) {
        host.hold = !!on;
    };

    Object.defineProperty(window, "__ruvHost", { value: host, configurable: true });
    Object.defineProperty(window, "__ruvExternal", { value: external, configurable: true });
    setExternal(window, external);
}

module.exports = { installHost: installHost };
