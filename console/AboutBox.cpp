#include "AboutBox.h"

#include "res/Resource.h"
#include "res/Templates.h"

CAboutBox::CAboutBox() : CDialog(FindDialogTemplate(IDD_ABOUT)) {}

CAboutBox::~CAboutBox() = default;
