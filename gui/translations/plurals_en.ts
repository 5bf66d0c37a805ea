<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>CheckText</name>
    <message numerus="yes">
        <source>nothing to update, %n kept back</source>
        <translation>
            <numerusform>nothing to update, %n kept back</numerusform>
            <numerusform>nothing to update, %n kept back</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n minute(s) ago</source>
        <translation>
            <numerusform>%n minute ago</numerusform>
            <numerusform>%n minutes ago</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n hour(s) ago</source>
        <translation>
            <numerusform>%n hour ago</numerusform>
            <numerusform>%n hours ago</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n day(s) ago</source>
        <translation>
            <numerusform>%n day ago</numerusform>
            <numerusform>%n days ago</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n update(s)</source>
        <translation>
            <numerusform>%n update</numerusform>
            <numerusform>%n updates</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 (%n security)</source>
        <translation>
            <numerusform>%1 (%n security)</numerusform>
            <numerusform>%1 (%n security)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Your changes to %n configuration file(s) will be kept (%1); where the update brings new versions, they go beside them.</source>
        <translation>
            <numerusform>Your changes to %n configuration file will be kept (%1); if the update brings a new version of it, that goes beside it.</numerusform>
            <numerusform>Your changes to %n configuration files will be kept (%1); where the update brings new versions, they go beside them.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n update(s) are waiting</source>
        <translation>
            <numerusform>%n update is waiting</numerusform>
            <numerusform>%n updates are waiting</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n of them are security updates.</source>
        <translation>
            <numerusform>%n of them is a security update.</numerusform>
            <numerusform>%n of them are security updates.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>HistoryText</name>
    <message numerus="yes">
        <source>%n upgraded</source>
        <translation>
            <numerusform>%n upgraded</numerusform>
            <numerusform>%n upgraded</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n installed</source>
        <translation>
            <numerusform>%n installed</numerusform>
            <numerusform>%n installed</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n removed</source>
        <translation>
            <numerusform>%n removed</numerusform>
            <numerusform>%n removed</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n changed otherwise</source>
        <translation>
            <numerusform>%n changed otherwise</numerusform>
            <numerusform>%n changed otherwise</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n package(s) changed</source>
        <translation>
            <numerusform>%n package changed</numerusform>
            <numerusform>%n packages changed</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n config file(s) kept as you changed them</source>
        <translation>
            <numerusform>%n config file kept as you changed it</numerusform>
            <numerusform>%n config files kept as you changed them</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>sorvane::gui::HistoryItems</name>
    <message numerus="yes">
        <source>%n update(s)</source>
        <translation>
            <numerusform>%n update</numerusform>
            <numerusform>%n updates</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 of %n update(s)</source>
        <translation>
            <numerusform>%1 of %n update</numerusform>
            <numerusform>%1 of %n updates</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>sorvane::gui::UpdateModel</name>
    <message numerus="yes">
        <source>%n update(s) are ready</source>
        <translation>
            <numerusform>%n update is ready</numerusform>
            <numerusform>%n updates are ready</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n package(s) updated by %1</source>
        <translation>
            <numerusform>%n package updated by %1</numerusform>
            <numerusform>%n packages updated by %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Restart the computer to finish the update: %1 take(s) effect only then.</source>
        <translation>
            <numerusform>Restart the computer to finish the update: %1 takes effect only then.</numerusform>
            <numerusform>Restart the computer to finish the update: %1 take effect only then.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1: %n package(s) updated</source>
        <translation>
            <numerusform>%1: %n package updated</numerusform>
            <numerusform>%1: %n packages updated</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1: %2 of %n app(s) and runtime(s) updated</source>
        <translation>
            <numerusform>%1: %2 of %n app or runtime updated</numerusform>
            <numerusform>%1: %2 of %n apps and runtimes updated</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n package(s) updated</source>
        <translation>
            <numerusform>%n package updated</numerusform>
            <numerusform>%n packages updated</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n package(s) kept back</source>
        <translation>
            <numerusform>%n package kept back</numerusform>
            <numerusform>%n packages kept back</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Your changes to %n configuration file(s) were kept; the new versions are beside them: %1.</source>
        <translation>
            <numerusform>Your changes to %n configuration file were kept; the new version is beside it: %1.</numerusform>
            <numerusform>Your changes to %n configuration files were kept; the new versions are beside them: %1.</numerusform>
        </translation>
    </message>
</context>
</TS>
