// A report the page cannot take is dropped; the run goes on.
function addResult(errcode, status) {
    try {
        nxAddResult(errcode, status);
    } catch (e) {
    }
}

function {{SUMMARY_NAME}}(errcode) {
    try {
        nxSummary(errcode);
    } catch (e) {
    }
}
