#include "AboutBox.h"

#include "res/Resource.h"

CAboutBox::CAboutBox() : CDialog(IDD_ABOUT) {}

CAboutBox::~CAboutBox() = default;
