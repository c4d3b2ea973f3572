#!/usr/bin/env bash
# Puts the install folder on the system PATH, so that uvfind runs from any prompt, and
# takes it off again at uninstall. wixl cannot write the Environment table, so the
# table and the two standard actions that carry it out go into the package it built.
#   add-search-path.sh PACKAGE.msi COMPONENT   (the component that installs uvfind.exe)
set -euo pipefail
package=$1 component=$2
# The name's prefix: "=" set at install, "-" removed at uninstall, "*" the system's
# variable; "[~];" keeps what PATH holds and appends the folder.
msibuild "$package" \
  -q 'CREATE TABLE `Environment` (`Environment` CHAR(72) NOT NULL, `Name` CHAR(255) NOT NULL LOCALIZABLE,
      `Value` CHAR(255) LOCALIZABLE, `Component_` CHAR(72) NOT NULL PRIMARY KEY `Environment`)' \
  -q "INSERT INTO \`Environment\` (\`Environment\`, \`Name\`, \`Value\`, \`Component_\`)
      VALUES ('SearchPath', '=-*PATH', '[~];[INSTALLFOLDER]', '$component')" \
  -q "INSERT INTO \`InstallExecuteSequence\` (\`Action\`, \`Sequence\`) VALUES ('RemoveEnvironmentStrings', 3300)" \
  -q "INSERT INTO \`InstallExecuteSequence\` (\`Action\`, \`Sequence\`) VALUES ('WriteEnvironmentStrings', 5200)"
