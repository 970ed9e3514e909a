// The PIN page of the management sheet (template 106).
#pragma once

#include "common/PropertyPage.h"

class CChangePINPage : public CPropertyPage {
public:
    CChangePINPage();
    void Activate();

protected:
    LRESULT OnSetActive() override;
};
