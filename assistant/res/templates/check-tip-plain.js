        if (err) {
            return ["{{TIP_ERR}}", false];
        }
        return ["{{TIP_OK}}", true];
