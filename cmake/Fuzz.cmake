# sandmere_fuzz_target(name source)
# With SANDMERE_FUZZ (clang): a libFuzzer binary fuzz_<name>.
# Otherwise: a replay program that feeds every file of tests/fuzz/corpus/<name>/ to the
# target once, registered as an ordinary test, so the corpus runs on every test run.
function(sandmere_fuzz_target name source)
  if(SANDMERE_FUZZ)
    add_executable(fuzz_${name} ${source})
    target_compile_options(fuzz_${name} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_libraries(fuzz_${name} PRIVATE sandmere_core)
  else()
    add_executable(replay_${name} ${source} ${CMAKE_SOURCE_DIR}/tests/fuzz/replay_main.cpp)
    target_compile_options(replay_${name} PRIVATE ${SANDMERE_WARNINGS})
    target_link_libraries(replay_${name} PRIVATE sandmere_core)
    add_test(NAME fuzz_corpus_${name}
             COMMAND replay_${name} ${CMAKE_SOURCE_DIR}/tests/fuzz/corpus/${name})
  endif()
endfunction()
