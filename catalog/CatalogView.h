#pragma once

#include "catalog/Hints.h"
#include "model/TrackArray.h"
#include "platform/Document.h"
#include "platform/View.h"

// The catalog's document/view pair: hints of the catalog, with the tracks concerned.
using CView = TView<EHint, TrackArray>;
using CDocument = TDocument<EHint, TrackArray>;
