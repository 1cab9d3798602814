# Tests of the tools: qm's report and tuning pieces as unit tests, and the
# commands themselves against golden output and expected lines.
set(TOOLS_TEST_DIR ${CMAKE_CURRENT_SOURCE_DIR}/tools)
file(GLOB TOOLS_UNIT_TESTS CONFIGURE_DEPENDS ${TOOLS_TEST_DIR}/*_test.cpp)
if(TOOLS_UNIT_TESTS AND NOT WIN32)
  add_executable(tools_tests ${TOOLS_UNIT_TESTS} ${QM_TEST_SUPPORT_SOURCES})
  target_include_directories(tools_tests PRIVATE ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(tools_tests PRIVATE qm_tune qm_runner game_double host_double GTest::gtest_main ${CMAKE_DL_LIBS})
  gtest_discover_tests(tools_tests TEST_PREFIX "tools." DISCOVERY_MODE PRE_TEST)
endif()

if(NOT WIN32)
  set(GOLDEN ${CMAKE_COMMAND} -DWORKDIR=${PROJECT_SOURCE_DIR} -P ${TOOLS_TEST_DIR}/golden_output.cmake)
  set(EXPECT ${CMAKE_COMMAND} -DWORKDIR=${PROJECT_SOURCE_DIR} -P ${TOOLS_TEST_DIR}/expect_output.cmake)
  set(CHECK "$<TARGET_FILE:qm-check-settings>")
  set(QM "$<TARGET_FILE:qm>")

  # The Anniversary Edition's loader refuses a copy of the plug-in without its
  # version data, and loads the plug-in itself. A sanitizer's build refers to
  # its own exports by name, so a renamed one no longer loads at all there;
  # the plain build and the DLL under Wine (run_wine_suite.sh) are the cases.
  if(NOT QM_SANITIZE)
    add_test(NAME tools.plugin_without_version_data
             COMMAND ${TOOLS_TEST_DIR}/plugin_without_version_data.sh ${QM} $<TARGET_FILE:Quellmark>)
  endif()

  add_test(NAME tools.check_settings.bad_entries COMMAND ${CMAKE_COMMAND} -DWORKDIR=${PROJECT_SOURCE_DIR}
           "-DCOMMAND=${CHECK}|tests/tools/bad_settings.ini|tests/tools/bad_no_break.ini|--plugins|Skyrim.esm,Update.esm"
           -DGOLDEN=${TOOLS_TEST_DIR}/bad_settings.expected -DEXPECT_EXIT=1 -P ${TOOLS_TEST_DIR}/golden_output.cmake)
  add_test(NAME tools.check_settings.through_qm COMMAND ${CMAKE_COMMAND} -DWORKDIR=${PROJECT_SOURCE_DIR}
           "-DCOMMAND=${QM}|check-settings|tests/tools/bad_settings.ini|tests/tools/bad_no_break.ini|--plugins|Skyrim.esm,Update.esm"
           -DGOLDEN=${TOOLS_TEST_DIR}/bad_settings.expected -DEXPECT_EXIT=1 -P ${TOOLS_TEST_DIR}/golden_output.cmake)
  add_test(NAME tools.check_settings.good_entries COMMAND ${CMAKE_COMMAND} -DWORKDIR=${PROJECT_SOURCE_DIR}
           "-DCOMMAND=${CHECK}|tests/tools/good_settings.ini"
           -DGOLDEN=${TOOLS_TEST_DIR}/good_settings.expected -DEXPECT_EXIT=0 -P ${TOOLS_TEST_DIR}/golden_output.cmake)
  # The settings corpus: each case against its golden output, and against
  # what the plug-in itself reads from the same files in the game double.
  file(GLOB CORPUS_CASES CONFIGURE_DEPENDS ${TOOLS_TEST_DIR}/corpus/*.ini)
  list(FILTER CORPUS_CASES EXCLUDE REGEX "\\.nobreak\\.ini$")
  foreach(case ${CORPUS_CASES})
    get_filename_component(caseName ${case} NAME_WE)
    add_test(NAME tools.check_settings.corpus.${caseName}
             COMMAND ${TOOLS_TEST_DIR}/check_corpus.sh "${CHECK}" "${QM}" ${case})
  endforeach()
  set(badIndex 0)
  set(helpIndex 0)
  foreach(bad "${CHECK}|tests/tools/absent.ini" "${CHECK}|--plugins" "${CHECK}|--colour"
              "${CHECK}|a.ini|b.ini|c.ini" "${CHECK}|tests/tools" "${QM}|tune|--trials|0" "${QM}|tune|--cap|x"
              "${QM}|tune|tests/tools/absent.ini" "${QM}|tune|a.ini|b.ini" "${QM}|tune|--workers|0"
              "${QM}|tune|--target|Sword break p50 = 3|--vary|BreakChance.WeaponSword"
              "${QM}|tune|--target|WeaponSword break p50 = 3" "${QM}|tune|--target|WeaponSword break p50 = 3|--vary|Foo.Bar"
              "${QM}|tune|--item-table|tests/tools/tune_settings.ini" "${QM}|tune|--case|Sword follower"
              "${QM}|tune|--start|0.9" "${QM}|tune|a.ini|b.ini|--start|1.1"
              "${QM}|tune|tests/tools/tune_settings.ini|--report|${CMAKE_CURRENT_BINARY_DIR}/no-such-folder/r.html|--trials|1"
              "${QM}|run|scenarios/demo/demo.json|--seed|-1"
              "${QM}|run|tests/tools/absent.json" "${QM}|fly"
              "${QM}|run|tests/tools/bad_hex_content.json")
    math(EXPR badIndex "${badIndex}+1")
    add_test(NAME tools.bad_arguments.${badIndex} COMMAND ${CMAKE_COMMAND} -DWORKDIR=${PROJECT_SOURCE_DIR}
             "-DCOMMAND=${bad}" -DEXPECT_EXIT=2 -DREGEX_FILE=${TOOLS_TEST_DIR}/any_output.regex
             -P ${TOOLS_TEST_DIR}/expect_output.cmake)
  endforeach()
  foreach(tool "${CHECK}" "${QM}|run" "${QM}|tune")
    math(EXPR helpIndex "${helpIndex}+1")
    add_test(NAME tools.help.${helpIndex} COMMAND ${CMAKE_COMMAND} -DWORKDIR=${PROJECT_SOURCE_DIR}
             "-DCOMMAND=${tool}|--help" -DEXPECT_EXIT=0 -DREGEX_FILE=${TOOLS_TEST_DIR}/any_output.regex
             -P ${TOOLS_TEST_DIR}/expect_output.cmake)
  endforeach()

  # Malformed scenarios: exit 2 with the place named, nothing run, no folder
  # left; two more written as deep nests of repeats (20 fit under the nesting
  # limit, so these nest 30 and 3000).
  file(GLOB MALFORMED_SCENARIOS CONFIGURE_DEPENDS ${TOOLS_TEST_DIR}/malformed/*.json)
  foreach(scenario ${MALFORMED_SCENARIOS})
    get_filename_component(name ${scenario} NAME_WE)
    add_test(NAME tools.malformed.${name} COMMAND ${CMAKE_COMMAND} -DQM=${QM} -DSCENARIO=${scenario}
             -DWORKDIR=${CMAKE_CURRENT_BINARY_DIR}/malformed/${name} -P ${TOOLS_TEST_DIR}/malformed_scenario.cmake)
  endforeach()
  foreach(depth 30 3000)
    add_test(NAME tools.malformed.nested_repeats_${depth} COMMAND ${CMAKE_COMMAND} -DQM=${QM} -DNESTED_REPEATS=${depth}
             -DSCENARIO=${CMAKE_CURRENT_BINARY_DIR}/malformed/nested_repeats_${depth}.json
             -DWORKDIR=${CMAKE_CURRENT_BINARY_DIR}/malformed/nested_repeats_${depth} -P ${TOOLS_TEST_DIR}/malformed_scenario.cmake)
  endforeach()

  # The temporary folders of qm run and qm tune are gone after the run, and
  # only the one asked for is kept; a bare --plugin name is a file in the
  # current folder.
  set(TEMP_CHECK -P ${TOOLS_TEST_DIR}/temp_folders.cmake)
  add_test(NAME tools.temp_folders.run COMMAND ${CMAKE_COMMAND} -DKEPT=0
           "-DCOMMAND=${QM}|run|${PROJECT_SOURCE_DIR}/scenarios/demo/demo.json"
           -DWORKDIR=${CMAKE_CURRENT_BINARY_DIR}/temp-folders/run ${TEMP_CHECK})
  add_test(NAME tools.temp_folders.run_kept COMMAND ${CMAKE_COMMAND} -DKEPT=1
           "-DCOMMAND=${QM}|run|${PROJECT_SOURCE_DIR}/scenarios/demo/demo.json|--keep-temp"
           -DWORKDIR=${CMAKE_CURRENT_BINARY_DIR}/temp-folders/run_kept ${TEMP_CHECK})
  add_test(NAME tools.temp_folders.tune COMMAND ${CMAKE_COMMAND} -DKEPT=0
           "-DCOMMAND=${QM}|tune|${TOOLS_TEST_DIR}/tune_settings.ini|--trials|3"
           -DWORKDIR=${CMAKE_CURRENT_BINARY_DIR}/temp-folders/tune ${TEMP_CHECK})
  add_test(NAME tools.plugin_bare_name COMMAND ${CMAKE_COMMAND} -DWORKDIR=$<TARGET_FILE_DIR:Quellmark>
           "-DCOMMAND=${QM}|run|${PROJECT_SOURCE_DIR}/scenarios/demo/demo.json|--plugin|$<TARGET_FILE_NAME:Quellmark>"
           -DEXPECT_EXIT=0 -DREGEX_FILE=${TOOLS_TEST_DIR}/any_output.regex -P ${TOOLS_TEST_DIR}/expect_output.cmake)

  add_test(NAME tools.tune.table COMMAND ${CMAKE_COMMAND} -DWORKDIR=${PROJECT_SOURCE_DIR}
           "-DCOMMAND=${QM}|tune|tests/tools/tune_settings.ini|--trials|30"
           -DEXPECT_EXIT=0 -DREGEX_FILE=${TOOLS_TEST_DIR}/tune_expected.regex -P ${TOOLS_TEST_DIR}/expect_output.cmake)
  # However the file spells its sections, followers and other actors are worn.
  add_test(NAME tools.tune.spelled_sections COMMAND ${CMAKE_COMMAND} -DWORKDIR=${PROJECT_SOURCE_DIR}
           "-DCOMMAND=${QM}|tune|tests/tools/tune_spelled_sections.ini|--trials|10|--cap|2000"
           -DEXPECT_EXIT=0 -DREGEX_FILE=${TOOLS_TEST_DIR}/tune_spelled_sections.regex -P ${TOOLS_TEST_DIR}/expect_output.cmake)
  # The workers: the same table whatever their number.
  # One row of the table, chosen by --case and --start: a follower multiplier
  # of 0 still wears the sword out, as the plug-in does (up to 0.0001 a hit).
  add_test(NAME tools.tune.zero_multiplier_case COMMAND ${CMAKE_COMMAND} -DWORKDIR=${PROJECT_SOURCE_DIR}
           "-DCOMMAND=${QM}|tune|tests/tools/tune_zero_multiplier.ini|--case|WeaponSword follower|--start|1.1|--trials|4|--quiet"
           -DEXPECT_EXIT=0 -DREGEX_FILE=${TOOLS_TEST_DIR}/tune_zero_multiplier.regex -P ${TOOLS_TEST_DIR}/expect_output.cmake)
  add_test(NAME tools.tune.workers_agree COMMAND ${CMAKE_COMMAND} -DWORKDIR=${PROJECT_SOURCE_DIR}
           "-DFIRST=${QM}|tune|tests/tools/tune_settings_b.ini|--trials|6|--workers|1|--quiet"
           "-DSECOND=${QM}|tune|tests/tools/tune_settings_b.ini|--trials|6|--workers|2|--quiet"
           "-DIGNORE=hits per second|worker" -P ${TOOLS_TEST_DIR}/same_output.cmake)
  add_test(NAME tools.tune.compare_change COMMAND ${CMAKE_COMMAND} -DWORKDIR=${PROJECT_SOURCE_DIR}
           "-DCOMMAND=${QM}|tune|tests/tools/tune_settings.ini|tests/tools/tune_settings_b.ini|--trials|20|--quiet"
           -DEXPECT_EXIT=0 -DREGEX_FILE=${TOOLS_TEST_DIR}/tune_compare.regex -P ${TOOLS_TEST_DIR}/expect_output.cmake)
  add_test(NAME tools.tune.compare_same COMMAND ${CMAKE_COMMAND} -DWORKDIR=${PROJECT_SOURCE_DIR}
           "-DCOMMAND=${QM}|tune|tests/tools/tune_settings_b.ini|tests/tools/tune_settings_b.ini|--trials|10|--quiet"
           -DEXPECT_EXIT=0 -DREGEX_FILE=${TOOLS_TEST_DIR}/tune_compare_same.regex -P ${TOOLS_TEST_DIR}/expect_output.cmake)
  # One target it reaches, two it explains; exit 1 as not all were reached.
  add_test(NAME tools.tune.solve COMMAND ${CMAKE_COMMAND} -DWORKDIR=${PROJECT_SOURCE_DIR}
           "-DCOMMAND=${QM}|tune|--targets|tests/tools/tune_targets.txt|--trials|40|--vary|DegradationRate.HeavyArmor,DegradationRate.LightArmor,BreakChance.WeaponDagger"
           -DEXPECT_EXIT=1 -DREGEX_FILE=${TOOLS_TEST_DIR}/tune_solve.regex -P ${TOOLS_TEST_DIR}/expect_output.cmake)
  add_test(NAME tools.tune.report COMMAND ${CMAKE_COMMAND} -DWORKDIR=${PROJECT_SOURCE_DIR}
           "-DCOMMAND=${QM}|tune|tests/tools/tune_settings.ini|--trials|10|--report|${CMAKE_CURRENT_BINARY_DIR}/tune-report.html"
           -DOUTPUT_FILE=${CMAKE_CURRENT_BINARY_DIR}/tune-report.html
           -DEXPECT_EXIT=0 -DREGEX_FILE=${TOOLS_TEST_DIR}/tune_report.regex -P ${TOOLS_TEST_DIR}/expect_output.cmake)
  add_test(NAME tools.demo.report COMMAND ${CMAKE_COMMAND} -DWORKDIR=${PROJECT_SOURCE_DIR}
           "-DCOMMAND=${QM}|run|scenarios/demo/demo.json|--report|${CMAKE_CURRENT_BINARY_DIR}/demo-report.html"
           -DOUTPUT_FILE=${CMAKE_CURRENT_BINARY_DIR}/demo-report.html
           -DEXPECT_EXIT=0 -DREGEX_FILE=${TOOLS_TEST_DIR}/demo_report.regex -P ${TOOLS_TEST_DIR}/expect_output.cmake)
endif()
