// Makes the web-settings page object the sheet offers.
#pragma once

class CPropertyPage;

CPropertyPage *CreateWebSetPage();
