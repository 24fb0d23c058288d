#pragma once
#include "text/twips.h"
