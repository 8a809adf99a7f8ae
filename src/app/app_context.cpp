#include "app/app_context.h"

#include "archive/resource_archive.h"
#include "platform/d3d9/direct3d.h"
#include "script/scripter.h"

AppContext appContext;
Direct3DFactory direct3DFactory = &Direct3DCreate9;

AppContext::AppContext() = default;
AppContext::~AppContext() = default;
