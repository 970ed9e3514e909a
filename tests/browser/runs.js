// Recorded runs, in the order and with the progress values the engine sends.
"use strict";

var OS_TEXT = "操作系统版本:Microsoft Windows 7 Ultimate Edition, 64-bit Service Pack 1 (build 7601);用户:Administrator;IE版本:IE 8.0.7601.17514";

function systemPart(o) {
    return [
        ["TITLE_WS", "1"], [o.osCode || "OS0", OS_TEXT], [o.reg || "REG0", "15"], [o.web || "WEB0", "30"],
        [o.autorun || "AUTORUN0", "45"], ["TITLE_IE", "45"], [o.site || "SITE0", "60"], [o.ielevel || "IELEVEL2", "75"],
        ["TITLE_RC", "75"], [o.root || "ROOTCERT0", "90"]
    ];
}

function clientPart(o) {
    var run = [["TITLE_CT", "1"], [o.sign || "SIGN0", "90"], [o.control || "CONTROL0", "90"], [o.printer || "PRINTER0", "90"],
        ["TITLE_UK", "95"], ["VERSION", "95"], ["UKEY_WQ2322", "95"]];
    if (o.noKey) {
        run.push(["UKEY_NO_KEY", "50"]);
    } else {
        run.push(["UKEY_WQ2301", "95"], [o.cert || "UKEY_CERT_YQ", "95"]);
    }
    return run;
}

function fullCheck(o) {
    o = o || {};
    var run = systemPart(o).concat(clientPart(o));
    if (o.insertAt !== undefined) {
        run.splice(o.insertAt, 0, o.insert);
    }
    return run.concat([["TITLE_IE", "0"]]);
}

module.exports = {
    OS_TEXT: OS_TEXT,
    fullCheck: fullCheck,
    // network down, everything else fine; the OS code arrives in lower case
    networkOnly: fullCheck({ osCode: "os0", web: "WEB1", autorun: "AUTORUN1", noKey: true }),
    withErrors: fullCheck({ web: "WEB1", site: "SITE10", root: "ROOTCERT1", control: "CONTROL4", noKey: true }),
    errorsOnly: fullCheck({ ielevel: "IELEVEL0", printer: "PRINTER3" }),
    clean: fullCheck({ autorun: "AUTORUN2", cert: "UKEY_NO_CERT_YQ" }),
    repairAbandoned: [["TITLE_CS", "1"], ["TITLE_IE", "45"], ["REPAIR1", "100"], ["REPAIR1", "0"]],
    repairDone: [["TITLE_CS", "1"], ["REPAIR2", "100"], ["REPAIR2", "0"]],
    repairFailed: [["TITLE_CS", "1"], ["REPAIR0", "50"], ["REPAIR0", "0"]],
    updateDone: [["TITLE_CE", "10"], ["TITLE_CE", "10"], ["VERSION", "95"], ["TITLE_CE", "0"]],
    updateNoNetwork: [["WEB1", "40"], ["TITLE_CE", "0"]]
};
