// The source the test programs' shared precompiled GoogleTest header is built with.
