# MvrTestSupport: the helpers that tests of several folders share, so that a
# test names one target instead of reaching into other folders: a private
# folder and generated inputs (core/tests), a bounded child-process runner
# (tools/common/tests), scripted modal dialogs (find/tests) and job files
# built through the core (engine/tests).
add_library(MvrTestSupport INTERFACE)
target_include_directories(MvrTestSupport INTERFACE
  ${PROJECT_SOURCE_DIR}/core/tests
  ${PROJECT_SOURCE_DIR}/tools/common/tests
  ${PROJECT_SOURCE_DIR}/find/tests
  ${PROJECT_SOURCE_DIR}/engine/tests)
