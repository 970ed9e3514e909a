        if (err && net) {
            return ["{{TIP_ERR_NET}}", false];
        }
        if (err) {
            return ["{{TIP_ERR}}", false];
        }
        if (net) {
            return ["{{TIP_NET}}", false];
        }
        return ["{{TIP_OK}}", true];
