// The certificate page of the management sheet (template 138).
#pragma once

#include "common/PropertyPage.h"

class CCertManagePage : public CPropertyPage {
public:
    CCertManagePage();
    void Activate();

protected:
    LRESULT OnSetActive() override;
};
