// Serves the built page resources the way the program's resource store
// addresses them: the resource name is the last path segment, matched
// without regard to case; "../" never climbs above the root; the content
// type follows the extension and carries no character set, so each page's
// own meta element decides how its bytes are read.
"use strict";
var http = require("http");
var fs = require("fs");
var path = require("path");

var TYPES = {
    ".HTM": "text/html",
    ".CSS": "text/css",
    ".JS": "application/javascript",
    ".PNG": "image/png",
    ".GIF": "image/gif"
};

// Resolves a request path to an upper-case resource name, or "" for none.
function resourceName(urlPath) {
    var p = String(urlPath).split("#")[0].split("?")[0];
    var parts = [], segs, i, s;
    try {
        p = decodeURIComponent(p);
    } catch (e) {
        return "";
    }
    segs = p.replace(/\\/g, "/").split("/");
    for (i = 0; i < segs.length; i++) {
        s = segs[i];
        if (s === "" || s === ".") continue;
        if (s === "..") {
            parts.pop();   // at the root this does nothing
            continue;
        }
        parts.push(s);
    }
    if (parts.length === 0) return "";
    return parts[parts.length - 1].toUpperCase();
}

function loadResources(dir) {
    var list = fs.readFileSync(path.join(dir, "resources.list"), "utf8").split(/\r?\n/).filter(Boolean);
    var map = {};
    list.forEach(function (name) {
        map[name] = fs.readFileSync(path.join(dir, name));
    });
    return map;
}

// extra(req, res), when given, may answer a request first (true: answered).
function createServer(dir, extra) {
    var resources = loadResources(dir);
    var server = http.createServer(function (req, res) {
        if (extra && extra(req, res)) return;
        var name = resourceName(req.url);
        var body = name ? resources[name] : undefined;
        var type = TYPES[path.extname(name)];
        if (req.method !== "GET" && req.method !== "HEAD") {
            res.writeHead(405, { "Content-Type": "text/plain" });
            res.end("method not allowed\n");
            return;
        }
        if (!body || !type) {
            res.writeHead(404, { "Content-Type": "text/plain" });
            res.end("no resource " + name + "\n");
            return;
        }
        res.writeHead(200, { "Content-Type": type, "Content-Length": body.length, "Cache-Control": "no-store" });
        res.end(req.method === "HEAD" ? undefined : body);
    });
    server.resources = resources;
    return server;
}

function start(dir, port, extra) {
    return new Promise(function (resolve, reject) {
        var server = createServer(dir, extra);
        server.once("error", reject);
        server.listen(port || 0, "127.0.0.1", function () {
            resolve(server);
        });
    });
}

module.exports = { resourceName: resourceName, createServer: createServer, start: start };

if (require.main === module) {
    start(process.argv[2] || "build/pages", +(process.argv[3] || 8708)).then(function (s) {
        process.stdout.write("serving on http://127.0.0.1:" + s.address().port + "/\n");
    });
}
