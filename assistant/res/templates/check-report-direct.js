// Script errors are not caught here: the host drops such a report.
function addResult(errcode, status) {
    nxAddResult(errcode, status);
}

function {{SUMMARY_NAME}}(errcode) {
    nxSummary(errcode);
}
